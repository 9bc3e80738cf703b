#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "io/FileIo.h"
#include "interchange/InterchangeProjects.h"
#include "model/Archive.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

// basic32.exe's German project, its files to be in `dir`.
class ProjectFile : public ::testing::Test {
protected:
    TempDir dir;
    std::unique_ptr<CProject> project = NewProjectOf(Fixture("basic32.exe"), 0x0407, &dir);
};
using NewProject = ProjectFile;

TEST_F(ProjectFile, SettingsComeFirstAsTextsAndAWord) {
    CProject settings;
    settings.m_strModulePath = std::string(254, 'm');
    settings.m_strDictionaryPath = std::string(255, 'd');
    settings.m_strTranslator = "T";
    settings.m_strEMail = "e";
    settings.m_wTargetLanguage = 0x0407;
    const Bytes data = ProjectRecord(settings);
    EXPECT_EQ(data[0], 0xFE);
    // An empty target path, then the dictionary path's length in three bytes.
    EXPECT_EQ(Bytes(data.begin() + 255, data.begin() + 259), (Bytes{0x00, 0xFF, 0xFF, 0x00}));
    std::size_t after = 259 + 255;
    EXPECT_EQ(Bytes(data.begin() + after, data.begin() + after + 6), (Bytes{0x01, 'T', 0x01, 'e', 0x07, 0x04}));
    // The resource info follows directly: its reserved DWORD, then the language WORD.
    // Header 62, fixed information 52, version root 26, three empty roots of 20.
    EXPECT_EQ(data.size(), after + 6 + 62 + 52 + 26 + 3 * 20);
}

TEST_F(ProjectFile, SaveAndOpenRoundTripKeepsEverything) {
    project->m_ResourceInfo.m_Strings.GetChildren().at(0)->SetTranslation("Hallo Welt", 0);
    project->m_ResourceInfo.m_Strings.GetChildren().at(1)->SetCarried(true);
    project->m_Dictionary.AddEntry("Hello", "Hallo", 0, ItemKind::String);
    CProject reopened = SavedAndReopened(*project, dir.File("p.prj"));
    EXPECT_TRUE(FileExists(dir.File("p.dic")));
    EXPECT_EQ(reopened.m_Dictionary, project->m_Dictionary);
    EXPECT_EQ(reopened.m_ResourceInfo, project->m_ResourceInfo);

    // The reopened project stores the same bytes as the saved one (as a save
    // does, with the time of saving fixed here): every setting came back.
    EXPECT_EQ(ProjectRecord(reopened), ProjectRecord(*project));
}

TEST_F(ProjectFile, OpenFallsBackToTheModuleOnlyWithoutAProjectFile) {
    ASSERT_TRUE(WriteFileAtomically(dir.File("empty.prj"), Bytes{}));
    CProject fromModule;
    fromModule.m_strModulePath = Fixture("multilang.dll");
    fromModule.m_wTargetLanguage = 0x040C;
    ASSERT_TRUE(fromModule.Open(dir.File("empty.prj")));
    EXPECT_EQ(fromModule.m_ResourceInfo.m_wLanguage, 0x0407);
    EXPECT_EQ(fromModule.m_wTargetLanguage, 0x040C);

    CProject untouched;
    untouched.m_strModulePath = dir.File("missing.exe");
    untouched.m_strTranslator = "keep";
    EXPECT_FALSE(untouched.Open(dir.File("missing.prj")));
    EXPECT_EQ(untouched.m_strTranslator, "keep");
    // A project file that cannot be read (here a folder) is no missing one:
    // the module that is there is not scanned in its place.
    std::filesystem::create_directory(dir.File("folder.prj"));
    untouched.m_strModulePath = Fixture("basic32.exe");
    ASSERT_FALSE(untouched.Open(dir.File("folder.prj")));
    EXPECT_TRUE(untouched.m_ResourceInfo.m_Strings.GetChildren().empty());
}

TEST_F(ProjectFile, MalformedFilesAreRefusedAndLeaveTheProjectAsItWas) {
    auto saved = NewProjectOf(Fixture("notranslation.dll"), 0x0415, &dir);
    ASSERT_TRUE(saved->Save(dir.File("p.prj")));
    Bytes bytes = FileBytes(dir.File("p.prj"));
    const CResourceInfo before(project->m_ResourceInfo);
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        // A plain write: the atomic one waits for the disk, thousands of times here.
        std::ofstream(dir.File("cut.prj"), std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(cut));
        Status opened = project->Open(dir.File("cut.prj"));
        ASSERT_FALSE(opened) << "cut at " << cut;
        EXPECT_EQ(opened.GetError().code, Error::Code::Malformed);
        EXPECT_NE(opened.GetError().message.find("cut.prj"), std::string::npos);
        ASSERT_EQ(project->m_ResourceInfo, before);
    }
}

// ".prj" only where the file name has no extension, and never over a file
// that is there already.
TEST_F(NewProject, ProjectPathGetsAnExtensionAndAnExistingFileIsNeverTouched) {
    for (auto [given, path] : {std::pair{"/a/b/project", "/a/b/project.prj"}, std::pair{"/a/b.d/project", "/a/b.d/project.prj"},
                               std::pair{"/a/b/project.xyz", "/a/b/project.xyz"}, std::pair{"p.prj", "p.prj"}})
        EXPECT_EQ(ProjectPathWithExtension(given), path);
    ASSERT_TRUE(WriteFileAtomically(dir.File("p.prj"), Bytes{1, 2, 3}));
    auto created = NewProjectOf(Fixture("basic32.exe"), 0x0407, &dir);
    EXPECT_EQ(FileBytes(dir.File("p.prj")), (Bytes{1, 2, 3}));
    EXPECT_TRUE(created->m_bLoaded);
}

// basic32.exe has an English table and a German one of its own.
// A save or a build replaces only a file of its own kind, or none: a "yes"
// to "replace it?" never turns a dictionary or a module into a project, nor a
// project into a target.
TEST_F(ProjectFile, AFileIsReplacedOnlyByOneOfItsKind) {
    project->m_Dictionary.AddEntry("Open", "Öffnen", 0, ItemKind::All);
    ASSERT_TRUE(project->Save(dir.File("p.prj")));
    std::filesystem::copy_file(Fixture("basic32.exe"), dir.File("m.exe"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("notes.txt"), Bytes{'h', 'i'}));
    ASSERT_TRUE(WriteFileAtomically(dir.File("empty"), Bytes{}));
    const std::pair<const char*, FileHolds> files[] = {
        {"p.prj", FileHolds::Project},         {"p.dic", FileHolds::Dictionary}, {"m.exe", FileHolds::Module},
        {"notes.txt", FileHolds::SomethingElse}, {"empty", FileHolds::Nothing},    {"none", FileHolds::Nothing}};
    for (const auto& [file, holds] : files) {
        EXPECT_EQ(WhatFileHolds(dir.File(file)), holds) << file;
        for (FileHolds kind : {FileHolds::Module, FileHolds::Project, FileHolds::Dictionary}) {
            bool allowed = holds == FileHolds::Nothing || holds == kind;
            EXPECT_EQ(CheckReplacesItsKind(dir.File(file), kind, "file").Ok(), allowed) << file;
        }
    }
    EXPECT_EQ(CheckTargetPath(*project, dir.File("p.prj"), dir.File("notes.txt")).GetError().message,
              "'" + dir.File("notes.txt") + "' is no file Quillon writes, not a module: the target was not written over it");
}

TEST_F(NewProject, TranslatorEntriesGoIntoTheModulesOwnStringTable) {
    // The keys and the translation value the table and the target get are RetargetVersion's.
    const std::string table = "version/StringFileInfo/040904b0";
    for (auto [key, value] : {std::pair{"/Translator", "Ann"}, std::pair{"/Translator%20E-Mail", "ann@example.org"},
                              std::pair{"/Translation%20Software", "Quillon 1.0"}}) // new values are not "translated"
        EXPECT_EQ(std::pair(ItemAt(*project, table + key).GetText(), ItemAt(*project, table + key).m_dwState),
                  std::pair(std::string(value), RIS_CREATED));
    // The other string table is left alone, as is a version without a translation value.
    EXPECT_EQ(ItemAt(*project, "version/StringFileInfo/040704b0").GetCount(), 2u);
    EXPECT_EQ(ItemAt(*project, table).GetCount(), 8u);
    // Keys are looked up without case, as the module's own entries may be written in any.
    EXPECT_EQ(FindVersionPath(project->m_ResourceInfo.m_VersionInfo.m_Root, "\\stringfileinfo\\040904B0"),
              &ItemAt(*project, table));
    // A new translator's name goes to the table written for the target only.
    // (Which table that is after a change of language: RetargetVersion.*.)
    project->m_strTranslator = "Bob";
    RefreshTranslatorValues(*project);
    EXPECT_EQ(ItemAt(*project, table + "/Translator").GetTranslation(), "Bob");
    auto polish = NewProjectOf(Fixture("notranslation.dll"), 0x0415, &dir);
    EXPECT_EQ(ItemAt(*polish, "version/StringFileInfo/041504e2").GetCount(), 2u);
}

TEST_F(NewProject, ExistingTranslatorValuesAreTranslatedInPlace) {
    CProject bo;
    bo.m_strTranslator = "Bo";
    bo.m_wTargetLanguage = 0x040C;
    CVersionBlock& root = bo.m_ResourceInfo.m_VersionInfo.m_Root;
    AddVersionTables(root, {"040904E4"}, {0x09, 0x04, 0xE4, 0x04, 0x07, 0x04, 0xE4, 0x04},
                     {{"Translator E-Mail", "old@example.org"}, {"Translator", "Someone"}});
    AddTranslatorToVersion(bo);
    const CResourceItem& table = ItemAt(bo, "version/StringFileInfo/040904E4");
    EXPECT_EQ(table.GetCount(), 3u); // only "Translation Software" was missing
    EXPECT_EQ(table.GetChildren().at(1)->GetTranslation(), "Bo");
    EXPECT_TRUE(table.GetChildren().at(1)->IsTranslated());
    EXPECT_EQ(table.GetChildren().at(0)->GetTranslation(), ""); // an empty e-mail
    // The key and translation value it gets: RetargetVersion's "the target keeps the first pair only".
}

// The scan reads the module's texts in the target language's code page; a
// module that is not there or is no module is an error.
TEST_F(NewProject, CodePageFollowsTheTargetLanguageAndTheModuleMustBeOne) {
    // The target language, its code page, and a string's text read in it.
    const struct { std::uint16_t language; std::uint32_t codePage; std::int32_t id; std::u16string text; } cases[] = {
        {0x0415, 1250, 40, u"Grüße € ä"}, {0x0411, 932, 41, u"日本語テキスト"}};
    for (const auto& c : cases) {
        auto scanned = NewProjectOf(Fixture("basic32.exe"), c.language);
        EXPECT_EQ(scanned->GetCodePage(), c.codePage);
        EXPECT_EQ(CodePage(c.codePage).ToUtf16(Child(scanned->m_ResourceInfo.m_Strings, c.id).GetText()), c.text);
    }
    NewProjectSettings settings;
    settings.targetLanguage = 0x0407;
    for (auto [module, code] : {std::pair{Fixture("none.exe"), Error::Code::NotFound},
                                std::pair{Fixture("corrupt/not-pe.exe"), Error::Code::NotModule}}) {
        settings.modulePath = module;
        auto created = CreateProject(settings);
        ASSERT_FALSE(created) << module;
        EXPECT_EQ(created.GetError().code, code);
    }
}

// No dictionary path writes no dictionary; a relative one lies beside the
// project file; one that went away is said when the project opens.
TEST_F(ProjectFile, DictionaryBesideTheProjectGoneOrUnreadable) {
    project->m_strDictionaryPath.clear();
    project->m_Dictionary.AddEntry("Hello", "Hallo", 0, ItemKind::String);
    ASSERT_TRUE(project->Save(dir.File("p.prj")));
    EXPECT_FALSE(FileExists(dir.File("p.dic")));
    project->m_strDictionaryPath = "words.dic";
    CProject reopened = SavedAndReopened(*project, dir.File("p.prj"));
    EXPECT_TRUE(FileExists(dir.File("words.dic")));
    EXPECT_EQ(reopened.m_strDictionaryPath, "words.dic");
    EXPECT_EQ(reopened.m_Dictionary.GetCount(), 1u);
    EXPECT_TRUE(reopened.OpenWarnings().empty());
    // A dictionary that went away is said when the project opens.
    ASSERT_TRUE(std::filesystem::remove(dir.File("words.dic")));
    CProject withoutDictionary;
    ASSERT_TRUE(withoutDictionary.Open(dir.File("p.prj")));
    ASSERT_EQ(withoutDictionary.OpenWarnings().size(), 1u);
    EXPECT_EQ(withoutDictionary.OpenWarnings()[0].rfind("the dictionary '" + dir.File("words.dic") + "' does not exist", 0), 0u);
    // A dictionary path that names something unreadable (here a folder) must
    // not open as an empty dictionary that the next save would write over.
    std::filesystem::create_directory(dir.File("folder.dic"));
    project->m_strDictionaryPath = dir.File("folder.dic");
    ASSERT_FALSE(project->Save(dir.File("q.prj")));
    EXPECT_FALSE(FileExists(dir.File("q.prj"))); // nothing half-saved
}

TEST_F(ProjectFile, ItemsOfTheWrongKindUnderARootAreRefused) {
    CResourceInfo menus, dialogs;
    menus.m_Menus.AddChild(std::make_unique<CStringEntry>("not a menu", 0, 1));
    dialogs.m_Dialogs.AddChild(std::make_unique<CDialogEntry>("D", 0, 1)).AddChild(std::make_unique<CMenuItem>("x", 0, 2, 0));
    for (const CResourceInfo* info : {&menus, &dialogs}) {
        ArchiveWriter out;
        info->Store(out, 0);
        CResourceInfo loaded;
        ArchiveReader in(out.Data());
        EXPECT_THROW(loaded.Load(in), ArchiveError);
        EXPECT_EQ(loaded.m_Menus.GetCount() + loaded.m_Dialogs.GetCount(), 0u);
    }
}

// A resource the scan read only in part stays marked across save and open,
// until an update reads it whole.
TEST_F(ProjectFile, ScanWarningsStayWithTheProjectUntilAnUpdateReadsTheResourceWhole) {
    auto overrun = NewProjectOf(Fixture("corrupt/dialog-overrun.exe"), 0x0407, &dir);
    ASSERT_EQ(overrun->m_ResourceInfo.m_scanWarnings.count("dialogs/200"), 1u);
    CProject reopened = SavedAndReopened(*overrun, dir.File("p.prj"));
    EXPECT_EQ(reopened.m_ResourceInfo.m_scanWarnings, overrun->m_ResourceInfo.m_scanWarnings);

    UpdateWith(reopened, Fixture("basic32.exe"));
    EXPECT_EQ(reopened.m_ResourceInfo.m_scanWarnings.count("dialogs/200"), 0u);
}
