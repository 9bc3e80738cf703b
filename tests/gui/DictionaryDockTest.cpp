// The Dictionary dock in the shown main window at its default size.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "TempDir.h"
#include "gui/ScriptedWindow.h"
#include "ui/DictionaryDock.h"
#include "ui/DictionaryModel.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

// Source and Translated share what the short columns leave, the short
// columns fit their longest text, nothing runs past the dock's right edge,
// and a text the column cuts is in full in its tooltip.
TEST(DictionaryDock, ColumnsFitTheDockAtTheDefaultSize) {
    TempDir dir;
    ScriptedWindow window;
    CMainFrame& frame = window.frame;
    NewProjectSettings settings = SessionSettings(dir);
    settings.modulePath = QUILLON_DATA_DIR "/../../samples/quillpad.exe";
    ASSERT_TRUE(frame.CreateProject(settings));
    const std::string longSource =
        "The document could not be saved. The disk may be full or write-protected; try saving it somewhere else.";
    CDictonary& dictionary = frame.Document().Project().m_Dictionary;
    ASSERT_TRUE(dictionary.AddEntry("Open", "\xD6" "ffnen", 'f', ItemKind::MenuItem));
    ASSERT_TRUE(dictionary.AddEntry(longSource, "Das Dokument konnte nicht gespeichert werden.", 0, ItemKind::String));
    ASSERT_TRUE(dictionary.AddEntry("Version", "Fassung", 0, ItemKind::Version));
    frame.DictionaryBar()->FillList();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.DictionaryBar()->raise(); // it may share its place with another dock
    QApplication::processEvents();
    ASSERT_TRUE(frame.DictionaryBar()->List()->isVisible());
    QTableView& list = *frame.DictionaryBar()->List();
    QHeaderView& header = *list.horizontalHeader();
    int total = 0;
    for (int column = 0; column < CDictionaryModel::ColumnCount; ++column) {
        SCOPED_TRACE(column);
        total += header.sectionSize(column);
        EXPECT_GE(header.sectionSize(column), header.sectionSizeHint(column)); // the header's title fits
    }
    for (int column : {CDictionaryModel::ColumnType, CDictionaryModel::ColumnHotkey})
        EXPECT_GE(header.sectionSize(column), static_cast<const QAbstractItemView&>(list).sizeHintForColumn(column)) << column;
    EXPECT_NEAR(header.sectionSize(CDictionaryModel::ColumnSource),
                header.sectionSize(CDictionaryModel::ColumnTranslated), 1);
    EXPECT_LE(total, list.viewport()->width());
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
    const QAbstractItemModel& model = *list.model();
    QModelIndex cut;
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.index(row, CDictionaryModel::ColumnSource).data().toString().size() > 50)
            cut = model.index(row, CDictionaryModel::ColumnSource);
    ASSERT_TRUE(cut.isValid());
    EXPECT_EQ(cut.data(Qt::ToolTipRole).toString(), QString::fromStdString(longSource));
}
