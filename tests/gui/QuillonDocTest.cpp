// The document is the one owner of changes: what it applies it can take
// back, and its modified flag follows the undo history.

#include <gtest/gtest.h>

#include <filesystem>

#include "gui/ScriptedWindow.h"
#include "model/Archive.h"

using namespace quillon;
using namespace quillon::gui;
using namespace quillon::testing;

namespace {

std::vector<std::uint8_t> Record(const CProject& project) {
    ArchiveWriter out;
    project.Store(out, 0);
    project.m_Dictionary.Store(out);
    return out.Take();
}

ProjectChange TranslateFirstString(CQuillonDoc& doc, const std::string& text) {
    ProjectChange change("Translate");
    CResourceItem& item = *doc.Project().m_ResourceInfo.m_Strings.GetChildren().front();
    change.Add(PlanTranslation(item, text, 0));
    change.Add(PlanEntry(doc.Project().m_Dictionary, item.GetText(), ItemKind::String, text, 0).Value());
    return change;
}

// A saved project of `module`, opened again so that it starts unmodified.
void OpenSaved(CQuillonDoc& doc, const TempDir& dir, const std::string& module) {
    ASSERT_TRUE(doc.NewProject(SessionSettings(dir, Fixture(module)), nullptr).Ok());
    ASSERT_TRUE(doc.SaveDocument(doc.PathName()).Ok());
    ASSERT_TRUE(doc.OpenDocument(doc.PathName(), nullptr).Ok());
}

} // namespace

TEST(QuillonDoc, ModifiedFollowsTheUndoHistory) {
    TempDir dir;
    CQuillonDoc doc;
    // A new project stays modified until saved, every change undone or not.
    ASSERT_TRUE(doc.NewProject(SessionSettings(dir), nullptr).Ok());
    doc.Apply(TranslateFirstString(doc, "Neu"));
    doc.UndoStack().undo();
    EXPECT_TRUE(doc.IsModified()) << "never saved";
    OpenSaved(doc, dir, "basic32.exe");
    ASSERT_FALSE(doc.IsModified());
    auto opened = Record(doc.Project());
    QSignalSpy items(&doc, &CQuillonDoc::itemsChanged);
    QSignalSpy dictionary(&doc, &CQuillonDoc::dictionaryChanged);

    doc.Apply(TranslateFirstString(doc, "Erste"));
    doc.Apply(TranslateFirstString(doc, "Zweite"));
    EXPECT_EQ(std::tuple(doc.IsModified(), items.count(), dictionary.count()), std::tuple(true, 2, 2));
    auto twice = Record(doc.Project());

    doc.UndoStack().setIndex(0); // both undone
    EXPECT_FALSE(doc.IsModified()) << "back at the opened state";
    EXPECT_EQ(Record(doc.Project()), opened);
    doc.UndoStack().setIndex(2); // both redone
    EXPECT_EQ(Record(doc.Project()), twice);
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(doc.SaveDocument(doc.PathName()).Ok());
    EXPECT_FALSE(doc.IsModified());
    doc.UndoStack().undo();
    EXPECT_TRUE(doc.IsModified()) << "the file now holds the undone change";
    doc.Apply(ProjectChange("nothing"));
    EXPECT_EQ(doc.UndoStack().count(), 2) << "an empty change is not kept";
}

// Save As over a module is refused whatever the file dialog asked, and the
// module stays; over another project it saves. An empty file does not open.
TEST(QuillonDoc, SaveAsReplacesOnlyAProjectAndOpenTakesOnlyOne) {
    TempDir dir;
    CQuillonDoc doc;
    OpenSaved(doc, dir, "basic32.exe");
    std::filesystem::copy_file(Fixture("basic64.exe"), dir.File("victim.exe"));
    Status saved = doc.SaveDocument(QString::fromStdString(dir.File("victim.exe")));
    ASSERT_FALSE(saved.Ok());
    EXPECT_NE(saved.GetError().message.find("is a module, not a Quillon project"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(dir.File("victim.exe")).Value(), ReadWholeFile(Fixture("basic64.exe")).Value());
    std::filesystem::copy_file(doc.PathName().toStdString(), dir.File("other.prj"));
    EXPECT_TRUE(doc.SaveDocument(QString::fromStdString(dir.File("other.prj"))).Ok());
    // An empty file is no project to open, as the command line says too.
    ASSERT_TRUE(WriteFileAtomically(dir.File("empty.prj"), std::vector<std::uint8_t>{}));
    Status opened = doc.OpenDocument(QString::fromStdString(dir.File("empty.prj")), nullptr);
    ASSERT_FALSE(opened.Ok());
    EXPECT_NE(opened.GetError().message.find("is empty: it is not a project file"), std::string::npos);
}

TEST(QuillonDoc, AnUpdateCanBeUndoneWithTheEditsMadeBeforeIt) {
    TempDir dir;
    CQuillonDoc doc;
    OpenSaved(doc, dir, "update-v1.exe");
    auto opened = Record(doc.Project());
    doc.Apply(TranslateFirstString(doc, "Vorher"));
    auto beforeUpdate = Record(doc.Project());
    ASSERT_TRUE(doc.UpdateProject(QString::fromStdString(Fixture("update-v2.exe")), nullptr).merged);
    auto updated = Record(doc.Project());
    EXPECT_NE(updated, beforeUpdate);

    doc.UndoStack().undo();
    EXPECT_EQ(Record(doc.Project()), beforeUpdate);
    doc.UndoStack().undo();
    EXPECT_EQ(Record(doc.Project()), opened);
    doc.UndoStack().setIndex(2); // the edit and the update redone
    EXPECT_EQ(Record(doc.Project()), updated);
}
