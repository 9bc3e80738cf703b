// Reads XLIFF 1.0 to 1.2 with libxml2's SAX parser: a 100,000-unit file is
// tens of megabytes, and the streaming reader's node-by-node interface took
// more than twice as long as the parse itself. Everything outside
// <trans-unit> but the <file> languages is passed over; inside a unit only
// <source>, <target>, <note> and the contexts that may hold the item's
// address count, and an <alt-trans> (a suggestion, with its own source and
// target) is passed over.

#include <libxml/SAX2.h>
#include <libxml/parser.h>

#include <algorithm>
#include <optional>
#include <string_view>

#include "interchange/Xliff.h"
#include "io/Utf8.h"
#include "model/ItemPath.h"

namespace quillon {

namespace {

std::string_view View(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

// The attributes of a start tag as the parser hands them over: for each,
// its local name, prefix, namespace, and the start and end of its value.
struct Attributes {
    const xmlChar** fields;
    int count;

    std::string operator[](std::string_view name) const {
        for (int at = 0; at < count; ++at) {
            const xmlChar** attribute = fields + 5 * at;
            if (View(attribute[0]) == name)
                return std::string(reinterpret_cast<const char*>(attribute[3]),
                                   static_cast<std::size_t>(attribute[4] - attribute[3]));
        }
        return {};
    }
};

struct ReadUnit {
    TranslationUnit unit;
    std::string state;   // the target's state attribute
    bool hasTarget = false;
    bool inlineMarkup = false;
    std::string restype;
    bool translate = true; // translate="no" keeps another tool's hands off the unit
    // Where tools that give units ids of their own keep the address:
    // translate-toolkit in a "sourcefile" context, Qt's lconvert in the
    // PO entry's context ("x-gettext-msgctxt").
    std::string addressContext;
};

bool IsAddressContext(std::string_view type) { return type == "sourcefile" || type == "x-gettext-msgctxt"; }

UnitState StateOf(const ReadUnit& read) {
    if (!read.hasTarget || read.unit.target.empty() || read.state == "new") return UnitState::Untranslated;
    if (read.state.starts_with("needs-")) return UnitState::NeedsReview;
    return UnitState::Translated;
}

class XliffReader {
public:
    explicit XliffReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    Result<UnitFile> Read();

private:
    static xmlSAXHandler Handler();
    // Runs the parser over the bytes: whether they were well-formed, or
    // nothing when the parser could not start.
    std::optional<bool> Parse();
    static XliffReader& Self(void* self) { return *static_cast<XliffReader*>(self); }
    static void OnStart(void* self, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
                        int attributeCount, int, const xmlChar** attributes) {
        Self(self).Start(View(name), Attributes{attributes, attributeCount});
    }
    static void OnEnd(void* self, const xmlChar*, const xmlChar*, const xmlChar*) { Self(self).End(); }
    static void OnText(void* self, const xmlChar* text, int length) {
        Self(self).Text(std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
    }
    static void OnDocumentType(void* self, const xmlChar*, const xmlChar*, const xmlChar*) {
        Self(self).Stop(MakeError(Error::Code::Malformed, "a document type declaration, which XLIFF has no use for"));
    }
    static void OnError(void* self, xmlErrorPtr error) {
        auto& reader = Self(self);
        if (reader.m_error.empty() && error) {
            std::string_view message = error->message ? error->message : "";
            reader.m_error = "line " + std::to_string(error->line) + ": " + std::string(message);
        }
        while (!reader.m_error.empty() && reader.m_error.back() == '\n') reader.m_error.pop_back();
    }

    void Start(std::string_view name, const Attributes& attributes);
    void End();
    void Text(std::string_view text);
    Status Element(std::string_view name, int depth, const Attributes& attributes);
    void EndElement(int depth);
    void FinishUnit();
    Error Fault(std::string message) {
        return MakeError(Error::Code::Malformed, m_error.empty() ? std::move(message) : m_error);
    }
    Error TooDeep() { return Fault("elements nested deeper than " + std::to_string(kMaxXmlDepth) + " levels"); }
    // Ends the parse with `error`, the first fault found.
    void Stop(Error error) {
        if (!m_fault) m_fault = std::move(error);
        xmlStopParser(m_parser);
    }

    std::span<const std::uint8_t> m_bytes;
    xmlParserCtxtPtr m_parser = nullptr;
    std::optional<Error> m_fault;
    std::string m_error;
    UnitFile m_file;
    bool m_sawRoot = false;
    int m_depth = 0; // of the next element to start; the root's is 0
    std::optional<ReadUnit> m_unit;
    int m_unitDepth = -1;
    std::string* m_capture = nullptr; // the text being read, with its element's depth
    int m_captureDepth = -1;
    int m_skipDepth = -1; // inside an <alt-trans> from this depth
    std::size_t m_captured = 0;
};

void XliffReader::Start(std::string_view name, const Attributes& attributes) {
    if (m_fault) return;
    int depth = m_depth++;
    if (depth > kMaxXmlDepth) return Stop(TooDeep());
    if (auto element = Element(name, depth, attributes); !element) Stop(element.GetError());
}

void XliffReader::End() {
    if (m_fault) return;
    EndElement(--m_depth);
}

Status XliffReader::Element(std::string_view name, int depth, const Attributes& attributes) {
    if (!m_sawRoot) {
        if (name != "xliff") return Fault("this is no XLIFF file: its root element is <" + std::string(name) + ">");
        m_sawRoot = true;
        return Done{};
    }
    if (m_skipDepth >= 0) return Done{};
    if (m_capture) { // markup inside a source or target
        m_unit->inlineMarkup = true;
        return Done{};
    }
    if (name == "file" && !m_unit) {
        m_file.original = attributes["original"];
        m_file.sourceLanguage = attributes["source-language"];
        m_file.targetLanguage = attributes["target-language"];
    } else if (name == "trans-unit" && !m_unit) {
        m_unit.emplace();
        m_unit->unit.id = attributes["id"];
        m_unit->restype = attributes["restype"];
        m_unit->translate = attributes["translate"] != "no";
        m_unitDepth = depth;
    } else if (m_unit && name == "alt-trans") {
        m_skipDepth = depth;
    } else if (m_unit && (name == "source" || name == "target" || name == "note" || name == "context")) {
        std::string* field = nullptr;
        if (name == "source") field = &m_unit->unit.source;
        if (name == "target") {
            m_unit->hasTarget = true;
            m_unit->state = attributes["state"];
            field = &m_unit->unit.target;
        }
        if (name == "note") field = &m_unit->unit.notes.emplace_back();
        if (name == "context" && IsAddressContext(attributes["context-type"])) field = &m_unit->addressContext;
        if (field) {
            field->clear();
            m_capture = field;
            m_captureDepth = depth;
        }
    }
    return Done{};
}

void XliffReader::EndElement(int depth) {
    if (m_skipDepth == depth) m_skipDepth = -1;
    if (m_capture && depth == m_captureDepth) {
        m_capture = nullptr;
        m_captureDepth = -1;
    }
    if (m_unit && depth == m_unitDepth) FinishUnit();
}

void XliffReader::Text(std::string_view text) {
    if (m_fault) return;
    // A text lies one level below its element.
    if (m_depth > kMaxXmlDepth) return Stop(TooDeep());
    if (!m_capture || m_skipDepth >= 0) return;
    m_captured += text.size();
    if (m_capture->size() + text.size() > kMaxUnitText || m_captured > 4 * kMaxInterchangeFile)
        return Stop(Fault("line " + std::to_string(xmlSAX2GetLineNumber(m_parser)) + ": a text longer than " +
                          std::to_string(kMaxUnitText) + " bytes"));
    m_capture->append(text);
}

void XliffReader::FinishUnit() {
    ReadUnit read = std::move(*m_unit);
    m_unit.reset();
    m_unitDepth = -1;
    if (read.restype == "x-gettext-domain-header") return;
    TranslationUnit& unit = read.unit;
    if (!ParseItemPath(unit.id) && ParseItemPath(read.addressContext)) unit.id = read.addressContext;
    if (unit.id.empty()) {
        m_file.skipped.push_back("a unit without an id (source \"" + unit.source + "\")");
        return;
    }
    if (!read.translate) {
        m_file.skipped.push_back(unit.id + ": marked translate=\"no\"");
        return;
    }
    if (read.inlineMarkup) {
        m_file.skipped.push_back(unit.id +
                                 ": inline markup in the source or target, which a resource text cannot hold");
        return;
    }
    unit.state = StateOf(read);
    if (unit.state == UnitState::Untranslated) unit.target.clear();
    m_file.units.push_back(std::move(unit));
}

xmlSAXHandler XliffReader::Handler() {
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = &XliffReader::OnStart;
    handler.endElementNs = &XliffReader::OnEnd;
    handler.characters = &XliffReader::OnText;
    handler.cdataBlock = &XliffReader::OnText;
    handler.ignorableWhitespace = &XliffReader::OnText;
    // Refused as soon as it starts, before an internal subset could declare
    // an entity: no entity but the predefined ones is ever expanded.
    handler.internalSubset = &XliffReader::OnDocumentType;
    handler.serror = &XliffReader::OnError;
    return handler;
}

std::optional<bool> XliffReader::Parse() {
    xmlSAXHandler handler = Handler();
    // The first bytes go in with the context, which tells the encoding from them.
    const auto* text = reinterpret_cast<const char*>(m_bytes.data());
    const int head = static_cast<int>(std::min<std::size_t>(m_bytes.size(), 4));
    m_parser = xmlCreatePushParserCtxt(&handler, this, text, head, nullptr);
    if (!m_parser) return std::nullopt;
    // Without a document type only the five predefined entities exist, and
    // they are to be replaced in attribute values too ("&amp;" would else
    // come as "&#38;"); any other entity is a fault.
    xmlCtxtUseOptions(m_parser, XML_PARSE_NONET | XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    // In pieces: the parser refuses to look ahead through more than 10 MB at once.
    constexpr std::size_t kPiece = 256 << 10;
    for (std::size_t at = static_cast<std::size_t>(head);; at += kPiece) {
        const std::size_t piece = std::min(kPiece, m_bytes.size() - at);
        const bool last = at + piece == m_bytes.size();
        if (xmlParseChunk(m_parser, text + at, static_cast<int>(piece), last ? 1 : 0) != 0 || last || m_fault) break;
    }
    const bool wellFormed = m_parser->wellFormed != 0;
    xmlFreeParserCtxt(m_parser);
    m_parser = nullptr;
    return wellFormed;
}

Result<UnitFile> XliffReader::Read() {
    if (m_bytes.empty()) return MakeError(Error::Code::Malformed, "this is no XLIFF file: it has no root element");
    std::optional<bool> wellFormed = Parse();
    if (!wellFormed) return MakeError(Error::Code::Malformed, "the XLIFF reader could not start");
    if (m_fault) return std::move(*m_fault);
    if (!*wellFormed || !m_error.empty()) return Fault("the XML is malformed");
    if (!m_sawRoot) return MakeError(Error::Code::Malformed, "this is no XLIFF file: it has no root element");
    for (const TranslationUnit& unit : m_file.units)
        if (!IsValidUtf8(unit.source) || !IsValidUtf8(unit.target))
            return MakeError(Error::Code::Malformed, "invalid UTF-8");
    return std::move(m_file);
}

} // namespace

Result<UnitFile> ReadXliff(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxInterchangeFile)
        return MakeError(Error::Code::Malformed, "the file is too large to be a translation file");
    xmlInitParser();
    XliffReader reader(bytes);
    return reader.Read();
}

} // namespace quillon
