// Throughput of Build Target against the cheapest way to produce a file of
// the same size: copying the module. Two generated modules: one of about
// 3 MB holding only translatable resources (a big application's string
// tables, dialogs and menus), and one of about 15 MB that adds large binary
// resources (RCDATA), which a build carries over untouched.
//
// Every figure is wall-clock time and bytes/s of the module's size, so the
// rate of a build and of a copy of the same module compare directly:
//  - BM_BuildTarget: BuildTarget of a project extracted from the module with
//    two items in three translated. It reads the module, rebuilds the string
//    tables, dialogs, menus and version resource, commits the new resource
//    section and writes the target atomically (flushed to disk).
//  - BM_CopyAtomically: ReadWholeFile and WriteFileAtomically, the same read
//    and the same flushed write as a build, with nothing in between: the
//    floor a build can approach.
//  - BM_CopyFile: std::filesystem::copy_file, which the kernel does without
//    the bytes passing through us and without a flush: a lower floor still,
//    and what a user compares with when copying the file by hand.
//
// The files live in a folder under the temporary folder, so the figures
// depend on its file system.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "build/TargetBuilder.h"
#include "io/FileIo.h"
#include "pe/ResourceModule.h"
#include "project/NewProject.h"
#include "project/Project.h"
#include "support/PeBuilder.h"

namespace {

using quillon::CProject;
using quillon::CResourceInfo;
using quillon::CResourceItem;
using quillon::ResourceId;
using quillon::testing::BuiltResource;

// ---------------------------------------------------------------------------
// The generated modules

constexpr int kStrings = 30000; // 1875 full blocks
constexpr int kDialogs = 2000;
constexpr int kControlsPerDialog = 8;
constexpr int kMenus = 200;
constexpr int kPopupsPerMenu = 5;
constexpr int kItemsPerPopup = 12; // one of them a separator
constexpr std::uint16_t kLanguage = 0x0409;
constexpr std::uint16_t kTargetLanguage = 0x0407;
constexpr std::uint16_t kTypeRcData = 10;

// The binary resources of the larger module: pictures, sounds, a packed
// help file, the kind of data that makes a module large without giving a
// translator anything to do.
constexpr int kDataResources = 48;
constexpr std::size_t kDataResourceBytes = 256 * 1024;

enum class ModuleKind { Ui, UiAndData };

std::u16string Number(int n) {
    std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

std::vector<BuiltResource> StringBlocks() {
    std::vector<BuiltResource> out;
    for (int first = 0; first < kStrings; first += 16) {
        std::array<std::u16string, 16> slots;
        for (int slot = 0; slot < 16 && first + slot < kStrings; ++slot) {
            int id = first + slot;
            slots[static_cast<std::size_t>(slot)] =
                u"Message " + Number(id) + (id % 8 == 0 ? u":\r\nthe file could not be saved." : u": done.");
        }
        auto block = static_cast<std::uint16_t>(first / 16 + 1);
        out.push_back({ResourceId::Integer(6), ResourceId::Integer(block), kLanguage,
                       quillon::testing::StringBlockBytes(slots)});
    }
    return out;
}

std::vector<BuiltResource> Dialogs() {
    std::vector<BuiltResource> out;
    for (int d = 0; d < kDialogs; ++d) {
        std::vector<quillon::testing::DialogControl> controls;
        for (int c = 0; c < kControlsPerDialog; ++c)
            controls.push_back({static_cast<std::uint16_t>(1000 + c), u"&Option " + Number(c) + u" of page " + Number(d)});
        out.push_back({ResourceId::Integer(5), ResourceId::Integer(static_cast<std::uint16_t>(100 + d)), kLanguage,
                       quillon::testing::StandardDialogBytes(u"Settings page " + Number(d), controls)});
    }
    return out;
}

std::vector<BuiltResource> Menus() {
    std::vector<BuiltResource> out;
    for (int m = 0; m < kMenus; ++m) {
        std::vector<quillon::testing::BuiltMenuPopup> popups;
        for (int p = 0; p < kPopupsPerMenu; ++p) {
            quillon::testing::BuiltMenuPopup popup{u"&Popup " + Number(p), {}};
            for (int i = 0; i < kItemsPerPopup; ++i) {
                if (i == kItemsPerPopup / 2) {
                    popup.items.push_back({0, u""});
                    continue;
                }
                auto id = static_cast<std::uint16_t>(10000 + 100 * p + i);
                popup.items.push_back({id, u"&Command " + Number(i) + u"\tCtrl+" + Number(i)});
            }
            popups.push_back(std::move(popup));
        }
        out.push_back({ResourceId::Integer(4), ResourceId::Integer(static_cast<std::uint16_t>(1 + m)), kLanguage,
                       quillon::testing::StandardMenuBytes(popups)});
    }
    return out;
}

// Bytes that do not compress or repeat, as packed data does not.
std::vector<std::uint8_t> NoiseBytes(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state);
    }
    return bytes;
}

std::vector<BuiltResource> DataResources() {
    std::vector<BuiltResource> out;
    for (int n = 0; n < kDataResources; ++n)
        out.push_back({ResourceId::Integer(kTypeRcData), ResourceId::Integer(static_cast<std::uint16_t>(1 + n)),
                       kLanguage, NoiseBytes(kDataResourceBytes, static_cast<std::uint32_t>(n))});
    return out;
}

std::vector<std::uint8_t> BuildModule(ModuleKind kind) {
    std::vector<BuiltResource> resources = StringBlocks();
    for (auto* generate : {Dialogs, Menus})
        for (auto& resource : generate()) resources.push_back(std::move(resource));
    if (kind == ModuleKind::UiAndData)
        for (auto& resource : DataResources()) resources.push_back(std::move(resource));
    resources.push_back({ResourceId::Integer(16), ResourceId::Integer(1), kLanguage, quillon::testing::VersionBytes()});
    return quillon::testing::BuildPeWithResources(resources);
}

// ---------------------------------------------------------------------------
// Files

// A folder for the files of one run, removed at exit.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillon-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    bool Ok() const { return !m_path.empty(); }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

const ScratchDir& Scratch() {
    static const ScratchDir dir;
    return dir;
}

std::uint64_t FileSize(const std::string& path) {
    std::error_code ignored;
    auto size = std::filesystem::file_size(path, ignored);
    return ignored ? 0 : size;
}

// ---------------------------------------------------------------------------
// Projects

std::uint64_t Items(const CResourceInfo& info) {
    return std::uint64_t{info.m_nStrings} + info.m_nDialogs + info.m_nControls + info.m_nPopups + info.m_nMenuItems;
}

constexpr std::uint64_t kItems = kStrings + kDialogs * (1 + kControlsPerDialog) +
                                 kMenus * (1 + kPopupsPerMenu * (1 + kItemsPerPopup));

// Two translatable items in three get a translation, so the build writes
// both translated and original texts.
void TranslateItem(CResourceItem& item, std::uint64_t& counter) {
    if (item.IsTranslatable() && counter++ % 3 != 2) item.SetTranslation("DE " + item.m_strText, item.m_chHotkey);
    for (auto& child : item.GetChildren()) TranslateItem(*child, counter);
}

void Translate(CResourceInfo& info) {
    std::uint64_t counter = 0;
    for (CResourceItem* root : {&info.m_Strings, &info.m_Dialogs, &info.m_Menus})
        for (auto& child : root->GetChildren()) TranslateItem(*child, counter);
    info.m_nTranslated = static_cast<std::uint32_t>(counter - counter / 3);
}

// ---------------------------------------------------------------------------
// The inputs, prepared once per module and checked, so the benchmarks skip
// instead of timing work that does less than it should.

struct Corpus {
    std::unique_ptr<CProject> project;
    std::string modulePath;
    std::string targetPath;
    std::string copyPath;
    std::uint64_t moduleBytes = 0;
    std::uint64_t targetBytes = 0;
    std::string error;
};

std::string Name(ModuleKind kind) { return kind == ModuleKind::Ui ? "ui" : "ui-and-data"; }

std::string WriteModule(ModuleKind kind, Corpus& corpus) {
    corpus.modulePath = Scratch().File(Name(kind) + ".dll");
    corpus.targetPath = Scratch().File(Name(kind) + ".de.dll");
    corpus.copyPath = Scratch().File(Name(kind) + ".copy.dll");
    quillon::Status written = quillon::WriteFileAtomically(corpus.modulePath, BuildModule(kind));
    if (!written) return written.GetError().Describe();
    corpus.moduleBytes = FileSize(corpus.modulePath);
    return {};
}

std::string ExtractProject(ModuleKind kind, Corpus& corpus) {
    quillon::NewProjectSettings settings;
    settings.projectPath = Scratch().File(Name(kind) + ".prj");
    settings.modulePath = corpus.modulePath;
    settings.translator = "Anna Translator";
    settings.email = "anna@example.org";
    settings.targetLanguage = kTargetLanguage;
    auto project = quillon::CreateProject(settings);
    if (!project) return project.GetError().Describe();
    corpus.project = std::move(project).Value();
    std::uint64_t items = Items(corpus.project->m_ResourceInfo);
    if (items != kItems) return "scan found " + std::to_string(items) + " items, expected " + std::to_string(kItems);
    Translate(corpus.project->m_ResourceInfo);
    return {};
}

// One build, which must rebuild everything it was given and whose target
// must hold the translated tables under the target language and every
// binary resource of the module.
std::string CheckBuild(ModuleKind kind, Corpus& corpus) {
    auto built = quillon::BuildTarget(*corpus.project, corpus.targetPath);
    if (!built) return "the build failed: " + built.GetError().Describe();
    if (!built.Value().warnings.empty()) return "the build left something out: " + built.Value().warnings.front();
    auto target = quillon::ResourceModule::Open(corpus.targetPath);
    if (!target) return "the target does not open: " + target.GetError().Describe();
    const quillon::ResourceLeaf* strings = target.Value().FindLeaf(quillon::kTypeStringTable, 1);
    if (!strings || strings->language != kTargetLanguage) return "the target's strings are not in the target language";
    std::size_t data = target.Value().EnumerateNames(kTypeRcData).size();
    if (data != (kind == ModuleKind::UiAndData ? std::size_t{kDataResources} : 0))
        return "the target holds " + std::to_string(data) + " binary resources";
    corpus.targetBytes = FileSize(corpus.targetPath);
    return {};
}

Corpus Prepare(ModuleKind kind) {
    Corpus corpus;
    if (!Scratch().Ok()) {
        corpus.error = "no temporary folder";
        return corpus;
    }
    for (auto* step : {WriteModule, ExtractProject, CheckBuild}) {
        corpus.error = step(kind, corpus);
        if (!corpus.error.empty()) break;
    }
    return corpus;
}

const Corpus& Inputs(ModuleKind kind) {
    static const Corpus ui = Prepare(ModuleKind::Ui);
    if (kind == ModuleKind::Ui) return ui;
    static const Corpus uiAndData = Prepare(ModuleKind::UiAndData);
    return uiAndData;
}

// ---------------------------------------------------------------------------
// Benchmarks

bool Skip(benchmark::State& state, const std::string& error) {
    if (error.empty()) return false;
    state.SkipWithError(error.c_str());
    return true;
}

constexpr double kMegabyte = 1024.0 * 1024.0;

void Report(benchmark::State& state, const Corpus& corpus) {
    state.SetBytesProcessed(static_cast<std::int64_t>(corpus.moduleBytes * state.iterations()));
    state.counters["module MiB"] = static_cast<double>(corpus.moduleBytes) / kMegabyte;
}

void BM_BuildTarget(benchmark::State& state, ModuleKind kind) {
    const Corpus& corpus = Inputs(kind);
    if (Skip(state, corpus.error)) return;
    for (auto _ : state) {
        auto built = quillon::BuildTarget(*corpus.project, corpus.targetPath);
        if (!built) {
            state.SkipWithError(built.GetError().Describe().c_str());
            break;
        }
    }
    Report(state, corpus);
    state.counters["target MiB"] = static_cast<double>(corpus.targetBytes) / kMegabyte;
}

quillon::Status CopyAtomically(const std::string& from, const std::string& to) {
    auto bytes = quillon::ReadWholeFile(from);
    if (!bytes) return bytes.GetError();
    return quillon::WriteFileAtomically(to, bytes.Value());
}

void BM_CopyAtomically(benchmark::State& state, ModuleKind kind) {
    const Corpus& corpus = Inputs(kind);
    if (Skip(state, corpus.error)) return;
    for (auto _ : state) {
        quillon::Status written = CopyAtomically(corpus.modulePath, corpus.copyPath);
        if (!written) {
            state.SkipWithError(written.GetError().Describe().c_str());
            break;
        }
    }
    Report(state, corpus);
}

void BM_CopyFile(benchmark::State& state, ModuleKind kind) {
    const Corpus& corpus = Inputs(kind);
    if (Skip(state, corpus.error)) return;
    for (auto _ : state) {
        std::error_code error;
        std::filesystem::copy_file(corpus.modulePath, corpus.copyPath,
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error) {
            state.SkipWithError(error.message().c_str());
            break;
        }
    }
    Report(state, corpus);
}

} // namespace

BENCHMARK_CAPTURE(BM_BuildTarget, ui, ModuleKind::Ui)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyAtomically, ui, ModuleKind::Ui)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyFile, ui, ModuleKind::Ui)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_BuildTarget, ui_and_data, ModuleKind::UiAndData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyAtomically, ui_and_data, ModuleKind::UiAndData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CopyFile, ui_and_data, ModuleKind::UiAndData)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
