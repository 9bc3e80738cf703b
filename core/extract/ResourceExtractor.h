#pragma once
// The module scan: empties a resource tree, reads the module's file version
// and language, hands every string-table block, dialog, menu and version
// resource to its parser, and counts the result.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "extract/Progress.h"
#include "extract/TemplateParsers.h"
#include "extract/TextRules.h"
#include "io/CodePage.h"
#include "io/Result.h"
#include "model/ResourceInfo.h"
#include "pe/ResourceModule.h"

namespace quillon {

struct ExtractReport {
    bool loaded = false;     // the module could be opened and read
    std::string error;       // why not, when it could not
    std::size_t replacedCharacters = 0; // characters the code page could not hold
    std::vector<std::string> diagnostics; // damaged or skipped resources
};

inline constexpr const char* kExtractMessage = "Extracting resources\r\nplease wait...";

// The bytes of the string tables, dialogs and menus of `module`: what a
// scan's tree grows with. Every language counts, so a module with several
// is taken for larger than the one language a scan reads.
std::uint64_t ScannedBytes(const ResourceModule& module);

class CResourceExtractor {
public:
    CResourceExtractor(std::string modulePath, CResourceInfo& target, CodePage codePage,
                       IProgress* progress = nullptr);
    // Scans a module opened beforehand; when it could not be opened,
    // Extract() fails as it does for a path that cannot be read.
    CResourceExtractor(Result<ResourceModule> opened, CResourceInfo& target, CodePage codePage,
                       IProgress* progress = nullptr);
    ~CResourceExtractor();
    CResourceExtractor(const CResourceExtractor&) = delete;
    CResourceExtractor& operator=(const CResourceExtractor&) = delete;

    // Runs the scan. A module that cannot be read is the error (NotModule),
    // and so is a code page the system has no converter for (Unsupported),
    // once a text needs one; both leave the tree empty. Damaged or skipped
    // resources are not errors: Report() lists them, and the tree holds
    // everything else.
    Status Extract();
    const ExtractReport& Report() const { return m_report; }
    // Reads the module in `language` instead of its own (ModuleLanguage), as
    // a user of that language would see it; the tree then records `language`.
    void ReadIn(std::uint16_t language) { m_readIn = language; }

    // The parsers, by resource name.
    bool ReadStringBlock(std::uint16_t block);
    bool ParseMenu(std::uint16_t id);
    bool ParseDialog(std::uint16_t id);
    bool ParseVersion(std::uint16_t id);

private:
    const ResourceModule* Module();
    void ReadInChosenLanguage();
    std::uint32_t CountSteps();
    void ParseAll();
    void ReadStringTables(const ResourceModule& module);
    void ReadDialogsAndMenus(const ResourceModule& module);
    void ReadVersionResources(const ResourceModule& module);
    bool ReadStringBlock(std::uint16_t block, ParseContext& context);
    bool ParseMenu(std::uint16_t id, ParseContext& context);
    bool ParseDialog(std::uint16_t id, ParseContext& context);
    void StepProgress();

    std::string m_strModulePath;
    std::optional<ResourceModule> m_module;
    bool m_bTriedLoad = false;
    std::optional<std::uint16_t> m_readIn;
    CResourceInfo& m_target;
    CodePage m_codePage;
    TemplateText m_text;
    IProgress* m_progress;
    TreeRoot m_strings{m_target.m_Strings};
    TreeRoot m_menus{m_target.m_Menus};
    TreeRoot m_dialogs{m_target.m_Dialogs};
    bool m_bShown = false;
    ExtractReport m_report;
};

} // namespace quillon
