#include "dictionary/ManualTranslation.h"

#include "dictionary/Hotkeys.h"
#include "model/TreeRoots.h"

namespace quillon {

ManualResult CheckManualTranslation(std::string_view source, std::string_view translation, std::uint16_t hotkey,
                                    const CodePage& codePage) {
    if (hotkey != 0 && !HotkeyOccursIn(translation, static_cast<std::uint8_t>(hotkey & 0xFF), codePage))
        return ManualResult::HotkeyNotInText;
    if (translation == source) return ManualResult::SameAsSource;
    return ManualResult::Applied;
}

std::uint16_t HotkeyForTypedText(const CResourceItem& item, std::string_view translation, const CodePage& codePage) {
    const HotkeyAlphabet& alphabet = HotkeyAlphabet::Of(codePage);
    for (std::uint16_t hotkey : {item.m_chTransHotkey, item.m_chHotkey}) {
        if (hotkey == kHotkeyNone || hotkey == 0) continue;
        // Windows matches a key in either case: "Speichern" [S] becomes "sichern" [s].
        std::uint8_t c = HotkeyByte(hotkey);
        for (std::uint8_t candidate : {c, alphabet.Lower(c), alphabet.Upper(c)})
            if (HotkeyOccursIn(translation, candidate, codePage))
                return static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(candidate)));
    }
    return 0;
}

HotkeyText ReadTypedTranslation(const CResourceItem& item, std::string translation, const CodePage& codePage,
                                std::optional<std::uint16_t> hotkey) {
    std::uint16_t kept = hotkey ? *hotkey : HotkeyForTypedText(item, translation, codePage);
    return ReadTypedEntry(item.GetKind(), std::move(translation), kept, codePage);
}

HotkeyText ReadTypedEntry(ItemKind kind, std::string translation, std::uint16_t hotkey, const CodePage& codePage) {
    bool marks = KindHasHotkey(kind) || kind == ItemKind::All;
    if (marks && MarkedHotkeyPosition(translation, codePage) != std::string::npos)
        return ReadMarkedText(std::move(translation), codePage);
    return {std::move(translation), hotkey};
}

std::string RefusalText(ManualResult result, std::uint16_t hotkey) {
    switch (result) {
    case ManualResult::Applied: break;
    case ManualResult::SameAsSource:
        return "The translation is the source text itself; the dictionary keeps only translations that differ "
               "from their source.";
    case ManualResult::HotkeyNotInText:
        return std::string("The hotkey '") + static_cast<char>(hotkey & 0xFF) +
               "' does not occur in the translation as a character of its own (a letter of an escape such as "
               "\\n cannot carry it).";
    }
    return {};
}

Status CheckEditedEntry(std::string_view source, std::string_view translation, std::uint16_t hotkey, ItemKind kind,
                        const CodePage& codePage) {
    ManualResult result = CheckManualTranslation(source, translation, hotkey, codePage);
    if (result != ManualResult::Applied) return MakeError(Error::Code::Refused, RefusalText(result, hotkey));
    Status entry = CheckEntry(source, translation, hotkey, kind);
    if (!entry)
        return MakeError(Error::Code::Refused,
                         "The dictionary cannot take this entry: " + entry.GetError().message + ".");
    return Done{};
}

Result<ItemEdit> PlanManualTranslation(CResourceItem& item, std::string translation, std::uint16_t hotkey,
                                       const CodePage& codePage) {
    ManualResult result = CheckManualTranslation(item.GetText(), translation, hotkey, codePage);
    if (result == ManualResult::HotkeyNotInText) return MakeError(Error::Code::Refused, RefusalText(result, hotkey));
    ItemEdit edit = PlanTranslation(item, std::move(translation), hotkey);
    if (result == ManualResult::SameAsSource) edit.after.state = StateAfterConfirmation(edit.after.state);
    return edit;
}

ManualResult TranslateManually(CResourceItem& item, std::string translation, std::uint16_t hotkey,
                               const CodePage& codePage) {
    ManualResult result = CheckManualTranslation(item.GetText(), translation, hotkey, codePage);
    if (auto edit = PlanManualTranslation(item, std::move(translation), hotkey, codePage)) Assign(item, edit.Value().after);
    return result;
}

const CDictonaryEntry* SearchDictionary(const CDictonary& dictionary, const CResourceItem& item) {
    return dictionary.FindEntry(item.GetText(), item.GetKind());
}

AdditionPlan PlanAddToDictionary(const CDictonary& dictionary, const CResourceItem& item,
                                 const std::string& translation, std::uint16_t hotkey,
                                 const std::function<bool()>& confirmReplace) {
    if (translation == item.GetText()) return {AddResult::SameAsSource, std::nullopt};
    ItemKind kind = item.GetKind();
    // Checked before either path: a replaced entry must be one the file can hold too.
    if (!CheckEntry(item.GetText(), translation, hotkey, kind)) return {AddResult::Refused, std::nullopt};
    bool replacing = dictionary.FindEntry(item.GetText(), kind) != nullptr;
    if (replacing && (!confirmReplace || !confirmReplace())) return {AddResult::Kept, std::nullopt};
    // An all-kinds entry is only added to a text that has no entry at all.
    if (!replacing && kind == ItemKind::All && dictionary.Lookup(item.GetText())) return {AddResult::Kept, std::nullopt};
    auto edit = PlanEntry(dictionary, item.GetText(), kind, translation, hotkey);
    if (!edit) return {AddResult::Refused, std::nullopt};
    return {replacing ? AddResult::Replaced : AddResult::Added, std::move(edit).Value()};
}

AddResult AddToDictionary(CDictonary& dictionary, const CResourceItem& item, const std::string& translation,
                          std::uint16_t hotkey, const std::function<bool()>& confirmReplace) {
    AdditionPlan plan = PlanAddToDictionary(dictionary, item, translation, hotkey, confirmReplace);
    if (plan.edit) ApplyEdit(dictionary, *plan.edit);
    return plan.result;
}

bool RestoreItem(CResourceItem& item) {
    ItemEdit edit = PlanRestore(item);
    if (edit.ChangesNothing()) return false;
    Assign(item, edit.after);
    return true;
}

std::vector<ItemEdit> PlanRestoreAll(CResourceInfo& tree) {
    std::vector<ItemEdit> edits;
    WalkItems(tree, [&](const ItemVisit<CResourceItem>& visit) {
        // Version values stay: the translator's own entries live there.
        if (visit.root == Root::Version || !visit.item.IsTranslatable()) return;
        ItemEdit edit = PlanRestore(visit.item);
        if (!edit.ChangesNothing()) edits.push_back(std::move(edit));
    });
    return edits;
}

std::size_t RestoreAll(CResourceInfo& tree) {
    std::vector<ItemEdit> edits = PlanRestoreAll(tree);
    for (const ItemEdit& edit : edits) Assign(*edit.item, edit.after);
    tree.m_nTranslated = 0;
    return edits.size();
}

} // namespace quillon
