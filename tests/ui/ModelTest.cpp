// The two models follow their lists with the smallest notifications: rows inserted as they
// come, and only the rows that changed repainted.
#include "ui/CheckListModel.h"
#include "ui/IconList.h"
#include "ui/ResultTreeModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

namespace {

CheckEntry Entry(const std::string& name)
{
    return CheckEntry{name, kStatusPending, "1KB", "/folder/" + name};
}

TEST(CheckListModelTest, AppendsInsertRowsAndChangesRepaintOnlyTheirRows)
{
    CheckList list;
    IconList icons;
    CheckListModel model(list, icons);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    for (int i = 0; i < 5; ++i)
        list.Append(Entry("f" + std::to_string(i)));
    EXPECT_EQ(model.rowCount(), 5);
    ASSERT_EQ(inserted.count(), 5);
    EXPECT_EQ(inserted[4][1].toInt(), 4);
    EXPECT_EQ(inserted[4][2].toInt(), 4);
    EXPECT_EQ(reset.count(), 0);

    list.SetStatus(3, kStatusDone);
    list.SetStatus(3, kStatusDone);  // no change, no repaint
    list.SetColourGroup(1, 2);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed[0][0].toModelIndex().row(), 3);
    EXPECT_EQ(changed[0][1].toModelIndex().row(), 3);
    EXPECT_EQ(changed[1][0].toModelIndex().row(), 1);
    EXPECT_EQ(model.index(3, CheckListModel::StatusColumn).data().toString(), QStringLiteral("已校验"));

    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    list.Remove(2);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 2);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(2, 0).data().toString(), QStringLiteral("f3"));

    list.Clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(CheckListModelTest, EachOfTheEightColourGroupsHasItsBackground)
{
    const QColor colours[] = {{255, 0, 0}, {0, 255, 0},   {255, 0, 255}, {255, 255, 0},
                              {0, 128, 0}, {0, 255, 255}, {128, 128, 0}, {128, 0, 128}};
    CheckList list;
    IconList icons;
    CheckListModel model(list, icons);
    list.Append(Entry("a"));
    for (int group = -1; group <= 10; ++group) {
        list.SetColourGroup(0, group);
        const QVariant background = model.index(0, 3).data(Qt::BackgroundRole);
        if (group >= 1 && group <= 8)
            EXPECT_EQ(background.value<QBrush>().color(), colours[group - 1]) << group;
        else
            EXPECT_FALSE(background.isValid()) << group;
    }
}

TEST(ResultTreeModelTest, RootsAndLinesAreInsertedUnderTheRightParent)
{
    ResultTree tree;
    ResultTreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    tree.AppendRoot("a.txt", 0);
    tree.AppendLine("MD5：x");
    tree.AppendRoot("b.txt", 1);
    tree.AppendLine("MD5：y");
    tree.AppendLine("SHA1：Z");
    ASSERT_EQ(inserted.count(), 5);
    EXPECT_FALSE(inserted[0][0].toModelIndex().isValid());
    EXPECT_EQ(inserted[4][0].toModelIndex().row(), 1);
    EXPECT_EQ(inserted[4][1].toInt(), 1);

    const QModelIndex b = model.index(1, 0);
    const QModelIndex sha1 = model.index(1, 0, b);
    EXPECT_EQ(sha1.data().toString(), QStringLiteral("SHA1：Z"));
    EXPECT_EQ(model.parent(sha1), b);
    EXPECT_EQ(model.rowCount(sha1), 0);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    tree.Clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.NodeText(sha1), nullptr) << "an index of the old tree names nothing";
}

}  // namespace
