// A shown main window over the real files (with faults on request), its dialogs answered by
// script, and the few gestures the tests make: drops, clicks, keys, a pass.
#pragma once

#include "platform/PosixFileSystem.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/Oracle.h"
#include "tests/support/TestFiles.h"
#include "tests/ui/ScriptedDialogs.h"
#include "ui/SumoraMain.h"

#include <gcrypt.h>
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

// "file://" URLs of the paths, one per CR LF line, as a file manager puts them in a drag.
inline QByteArray UriListOf(const std::vector<std::string>& paths)
{
    QByteArray list;
    for (const std::string& path : paths)
        list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    return list;
}

inline std::string Md5Text(const std::string& content)
{
    std::string hex = Hex(GcryptDigest(GCRY_MD_MD5, AsBytes(content)));
    for (char& c : hex)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "MD5：" + hex;
}
inline std::string Sha1Text(const std::string& content)
{
    return "SHA1：" + Hex(GcryptDigest(GCRY_MD_SHA1, AsBytes(content)));
}

class WindowTest : public testing::Test {
protected:
    // The model checks walk the whole model after every change: the large-list tests go without.
    explicit WindowTest(bool checkModels = true) : faulty(real), form(faulty, dialogs)
    {
        if (checkModels) {
            // A row announced too late or a wrong parent ends the test program at once.
            listModelTester.emplace(ModelOf("NeedCheckFileList"),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
            treeModelTester.emplace(ModelOf("ResultTreeView"),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
        }
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    template <class Widget>
    Widget* Find(const char* name)
    {
        Widget* found = form.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    QToolButton* Button(const char* name) { return Find<QToolButton>(name); }
    QAbstractItemView* List() { return Find<QAbstractItemView>("NeedCheckFileList"); }
    QAbstractItemView* Tree() { return Find<QAbstractItemView>("ResultTreeView"); }

    // Sends the drop straight to the window, as the desktop delivers it.
    void Drop(const std::vector<std::string>& paths)
    {
        QMimeData mime;
        mime.setData(QStringLiteral("text/uri-list"), UriListOf(paths));
        QDragEnterEvent enter(QPoint(20, 120), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(20, 120), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
    }
    void Click(const char* buttonName) { QTest::mouseClick(Button(buttonName), Qt::LeftButton); }
    // Starts a pass with the button and lets the event loop run until the pass has ended.
    void Calculate()
    {
        Click("CalculateToolBtn");
        AwaitPassEnd();
    }
    void AwaitPassEnd()
    {
        while (form.Core().PassRunning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        target->setFocus();
        QTest::keyClick(target, key, modifiers);
    }

    // The result tree's node texts in pre-order, one level of indent as a leading TAB.
    std::vector<std::string> TreeTexts()
    {
        std::vector<std::string> texts;
        form.Core().Tree().ForEachNode([&](const std::string& text, int level) {
            texts.push_back(std::string(static_cast<size_t>(level), '\t') + text);
        });
        return texts;
    }
    QModelIndex TreeNode(int root, int line = -1)
    {
        QAbstractItemModel* model = Tree()->model();
        const QModelIndex rootIndex = model->index(root, 0);
        return line < 0 ? rootIndex : model->index(line, 0, rootIndex);
    }

    PosixFileSystem real;
    FaultyFileSystem faulty;
    ScriptedDialogs dialogs;
    TempDir dir;
    TSumoraForm form;
    std::optional<QAbstractItemModelTester> listModelTester;
    std::optional<QAbstractItemModelTester> treeModelTester;

private:
    QAbstractItemModel* ModelOf(const char* viewName)
    {
        return form.findChild<QAbstractItemView*>(QString::fromLatin1(viewName))->model();
    }
};
