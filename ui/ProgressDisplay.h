// What the window shows of the work going on: the progress group (CheckGroupBox with the two
// bars, the pass's speed and time left and the stop button), panel 0 of the status bar and the
// busy cursor. The form builds it among its controls and forwards the checking core's requests.
#pragma once

#include <QObject>
#include <QString>

#include <string>

class QGroupBox;
class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QShortcut;

class ProgressDisplay : public QObject {
    Q_OBJECT
public:
    // Builds the progress group, hidden, over the window's client area, and the window's status
    // bar.
    explicit ProgressDisplay(QMainWindow& window);
    // A busy cursor still shown goes with the window.
    ~ProgressDisplay() override;

    // CurrentProgressBar: range 0 to 100; a step past the maximum starts over from the minimum.
    void SetCurrentBar(int position);
    void StepCurrentBar();
    // AllProgressBar: range 0 to maximum. Steps are shown once the window's thread is free:
    // a pass over small files steps it thousands of times between two paints, and each change
    // of a bar's value costs a repaint and an accessibility event.
    void SetOverallBar(int position, int maximum);
    void StepOverallBar();
    void SetPassRate(const std::string& speed, const std::string& timeLeft);
    void ShowProgressGroup(bool shown);
    // Anchors the progress group to the window's lower right corner again, after a resize or
    // the first show.
    void PlaceProgressGroup();

    void SetStatusText(const std::string& text);
    QString StatusText() const;
    void SetBusyCursor(bool busy);

signals:
    // The stop button, or Esc while the progress group shows.
    void StopRequested();

private:
    void BuildProgressGroup();
    void BuildStatusBar();
    void ShowOverallSteps();

    QMainWindow& window_;
    QGroupBox* checkGroupBox_ = nullptr;
    QProgressBar* currentProgressBar_ = nullptr;
    QProgressBar* allProgressBar_ = nullptr;
    int overallSteps_ = 0;  // not shown yet
    QLabel* passSpeed_ = nullptr;
    QLabel* passTimeLeft_ = nullptr;
    QPushButton* stopBtn_ = nullptr;
    QShortcut* stopShortcut_ = nullptr;
    QLabel* statusPanel0_ = nullptr;
    bool busyCursorShown_ = false;
};
