#include "ui/ProgressDisplay.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

constexpr int kStatusPanel0Width = 350;
// The progress group keeps these distances to the right and bottom edges of the client area.
constexpr int kGroupRightMargin = 190;
constexpr int kGroupBottomMargin = 21;
constexpr int kStatusBarHeight = 19;
const QString kStatusNotice = QStringLiteral("Quorvex 文件摘要校验 V" QUORVEX_VERSION);

QProgressBar* NewBar(QWidget* parent, const char* name, int x, int y)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(x, y, 150, 17);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

QLabel* NewCaption(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

// The platform's bar: a step past the maximum starts over from the minimum.
void StepBar(QProgressBar* bar)
{
    const int next = bar->value() + 1;
    bar->setValue(next > bar->maximum() ? bar->minimum() : next);
}

}  // namespace

ProgressDisplay::ProgressDisplay(QMainWindow& window) : window_(window)
{
    BuildProgressGroup();
    BuildStatusBar();
}

ProgressDisplay::~ProgressDisplay()
{
    if (busyCursorShown_)
        SetBusyCursor(false);
}

void ProgressDisplay::BuildProgressGroup()
{
    checkGroupBox_ = new QGroupBox(QStringLiteral("校验进度"), &window_);
    checkGroupBox_->setObjectName(QStringLiteral("CheckGroupBox"));
    // Taller than the two bars need: the speed, the time left and the stop button sit below them.
    checkGroupBox_->resize(240, 106);
    // Opaque, in the window's button face, where it lies over the list's rows.
    checkGroupBox_->setAutoFillBackground(true);
    NewCaption(checkGroupBox_, "CurrentProgressCap", QStringLiteral("当前进度："), 18, 24);
    NewCaption(checkGroupBox_, "AllProgressCap", QStringLiteral("整体进度："), 18, 53);
    allProgressBar_ = NewBar(checkGroupBox_, "AllProgressBar", 78, 51);
    currentProgressBar_ = NewBar(checkGroupBox_, "CurrentProgressBar", 78, 22);
    passSpeed_ = NewCaption(checkGroupBox_, "PassSpeed", QString(), 18, 75);
    passSpeed_->resize(140, 14);
    passTimeLeft_ = NewCaption(checkGroupBox_, "PassTimeLeft", QString(), 18, 89);
    passTimeLeft_->resize(140, 14);
    stopBtn_ = new QPushButton(QStringLiteral("停止"), checkGroupBox_);
    stopBtn_->setObjectName(QStringLiteral("StopBtn"));
    stopBtn_->setGeometry(163, 76, 65, 23);
    stopBtn_->setFocusPolicy(Qt::NoFocus);
    connect(stopBtn_, &QPushButton::clicked, this, &ProgressDisplay::StopRequested);
    // Esc stops a running pass wherever the focus is in the window; it is live only while the
    // progress group shows, so that Esc keeps its other uses between passes.
    stopShortcut_ = new QShortcut(QKeySequence(Qt::Key_Escape), &window_);
    stopShortcut_->setObjectName(QStringLiteral("StopShortcut"));
    stopShortcut_->setEnabled(false);
    connect(stopShortcut_, &QShortcut::activated, this, &ProgressDisplay::StopRequested);
    checkGroupBox_->hide();
}

void ProgressDisplay::BuildStatusBar()
{
    auto* bar = new QStatusBar(&window_);
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setMinimumHeight(kStatusBarHeight);
    statusPanel0_ = new QLabel(QStringLiteral("准备就绪"), bar);
    statusPanel0_->setObjectName(QStringLiteral("StatusPanel0"));
    statusPanel0_->setFixedWidth(kStatusPanel0Width);
    auto* notice = new QLabel(kStatusNotice, bar);
    notice->setObjectName(QStringLiteral("StatusPanel1"));
    bar->addWidget(statusPanel0_);
    bar->addWidget(notice, 1);
    window_.setStatusBar(bar);
}

void ProgressDisplay::SetCurrentBar(int position)
{
    currentProgressBar_->setValue(
        std::clamp(position, currentProgressBar_->minimum(), currentProgressBar_->maximum()));
}

void ProgressDisplay::StepCurrentBar() { StepBar(currentProgressBar_); }

void ProgressDisplay::SetOverallBar(int position, int maximum)
{
    overallSteps_ = 0;
    // A range of 0 to 0 would turn Qt's bar into a busy indicator; an empty bar of 0 to 1 looks
    // like the empty bar the platform shows.
    allProgressBar_->setRange(0, std::max(1, maximum));
    allProgressBar_->setValue(std::clamp(position, 0, std::max(1, maximum)));
}

void ProgressDisplay::StepOverallBar()
{
    if (overallSteps_++ == 0)
        QMetaObject::invokeMethod(this, &ProgressDisplay::ShowOverallSteps, Qt::QueuedConnection);
}

void ProgressDisplay::ShowOverallSteps()
{
    // Each step past the maximum starts over from the minimum, as one step at a time would.
    const int minimum = allProgressBar_->minimum();
    const int span = allProgressBar_->maximum() - minimum + 1;
    const int offset = allProgressBar_->value() - minimum;
    const int steps = std::exchange(overallSteps_, 0);
    if (steps > 0)
        allProgressBar_->setValue(minimum + static_cast<int>((static_cast<int64_t>(offset) + steps) % span));
}

void ProgressDisplay::SetPassRate(const std::string& speed, const std::string& timeLeft)
{
    passSpeed_->setText(QString::fromStdString(speed));
    passTimeLeft_->setText(QString::fromStdString(timeLeft));
}

void ProgressDisplay::ShowProgressGroup(bool shown)
{
    checkGroupBox_->setVisible(shown);
    stopShortcut_->setEnabled(shown);
    if (shown)
        PlaceProgressGroup();
}

void ProgressDisplay::PlaceProgressGroup()
{
    // Anchored to the client area's right and bottom edges, over the check list's lower right
    // corner; the bottom distance counts from the status bar, whose height Qt chooses.
    const QStatusBar* statusBar = window_.statusBar();
    const int statusHeight = statusBar->isVisible() ? statusBar->height() : kStatusBarHeight;
    const int bottomMargin = kGroupBottomMargin - kStatusBarHeight + statusHeight;
    checkGroupBox_->move(window_.width() - kGroupRightMargin - checkGroupBox_->width(),
                         window_.height() - bottomMargin - checkGroupBox_->height());
    checkGroupBox_->raise();
}

void ProgressDisplay::SetStatusText(const std::string& text)
{
    statusPanel0_->setText(QString::fromStdString(text));
}

QString ProgressDisplay::StatusText() const { return statusPanel0_->text(); }

void ProgressDisplay::SetBusyCursor(bool busy)
{
    if (busy == busyCursorShown_)
        return;
    busyCursorShown_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}
