// Reads XLIFF 1.0 to 1.2 with libxml2's streaming reader. Everything outside
// <trans-unit> but the <file> languages is passed over; inside a unit only
// <source>, <target>, <note> and "sourcefile" contexts count, and an
// <alt-trans> (a suggestion, with its own source and target) is passed over.

#include <libxml/xmlreader.h>

#include <optional>

#include "interchange/Xliff.h"
#include "io/Utf8.h"
#include "model/ItemPath.h"

namespace quillon {

namespace {

std::string S(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : std::string(); }

struct ReadUnit {
    TranslationUnit unit;
    std::string state;   // the target's state attribute
    bool hasTarget = false;
    bool inlineMarkup = false;
    std::string restype;
    std::string sourceFile; // a "sourcefile" context
};

UnitState StateOf(const ReadUnit& read) {
    if (!read.hasTarget || read.unit.target.empty() || read.state == "new") return UnitState::Untranslated;
    if (read.state.starts_with("needs-")) return UnitState::NeedsReview;
    return UnitState::Translated;
}

class XliffReader {
public:
    explicit XliffReader(std::span<const std::uint8_t> bytes)
        : m_reader(xmlReaderForMemory(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()), nullptr, nullptr,
                                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING)) {
        if (m_reader) xmlTextReaderSetStructuredErrorHandler(m_reader, &XliffReader::OnError, this);
    }
    ~XliffReader() {
        if (m_reader) xmlFreeTextReader(m_reader);
    }
    XliffReader(const XliffReader&) = delete;
    XliffReader& operator=(const XliffReader&) = delete;

    Result<UnitFile> Read();

private:
    static void OnError(void* self, xmlErrorPtr error) {
        auto& reader = *static_cast<XliffReader*>(self);
        if (reader.m_error.empty() && error)
            reader.m_error =
                "line " + std::to_string(error->line) + ": " + S(reinterpret_cast<const xmlChar*>(error->message));
        while (!reader.m_error.empty() && reader.m_error.back() == '\n') reader.m_error.pop_back();
    }
    std::string Attribute(const char* name) {
        xmlChar* value = xmlTextReaderGetAttribute(m_reader, reinterpret_cast<const xmlChar*>(name));
        std::string text = S(value);
        xmlFree(value);
        return text;
    }
    Status Element(const std::string& name, int depth, bool empty);
    void EndElement(int depth);
    Status Text();
    void FinishUnit();
    Error Fault(std::string message) {
        return MakeError(Error::Code::Malformed, m_error.empty() ? std::move(message) : m_error);
    }

    xmlTextReaderPtr m_reader;
    std::string m_error;
    UnitFile m_file;
    bool m_sawRoot = false;
    std::optional<ReadUnit> m_unit;
    int m_unitDepth = -1;
    std::string* m_capture = nullptr; // the text being read, with its element's depth
    int m_captureDepth = -1;
    int m_skipDepth = -1; // inside an <alt-trans> from this depth
    std::size_t m_captured = 0;
};

Status XliffReader::Element(const std::string& name, int depth, bool empty) {
    if (!m_sawRoot) {
        if (name != "xliff") return Fault("this is no XLIFF file: its root element is <" + name + ">");
        m_sawRoot = true;
        return Done{};
    }
    if (m_skipDepth >= 0) return Done{};
    if (m_capture) { // markup inside a source or target
        m_unit->inlineMarkup = true;
        return Done{};
    }
    if (name == "file" && !m_unit) {
        m_file.original = Attribute("original");
        m_file.sourceLanguage = Attribute("source-language");
        m_file.targetLanguage = Attribute("target-language");
    } else if (name == "trans-unit" && !m_unit) {
        m_unit.emplace();
        m_unit->unit.id = Attribute("id");
        m_unit->restype = Attribute("restype");
        m_unitDepth = depth;
        if (empty) EndElement(depth);
    } else if (m_unit && name == "alt-trans") {
        if (!empty) m_skipDepth = depth;
    } else if (m_unit && (name == "source" || name == "target" || name == "note" || name == "context")) {
        std::string* field = nullptr;
        if (name == "source") field = &m_unit->unit.source;
        if (name == "target") {
            m_unit->hasTarget = true;
            m_unit->state = Attribute("state");
            field = &m_unit->unit.target;
        }
        if (name == "note") field = &m_unit->unit.notes.emplace_back();
        if (name == "context" && Attribute("context-type") == "sourcefile") field = &m_unit->sourceFile;
        if (field && !empty) {
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

Status XliffReader::Text() {
    if (!m_capture || m_skipDepth >= 0) return Done{};
    const xmlChar* value = xmlTextReaderConstValue(m_reader);
    std::string_view text = value ? reinterpret_cast<const char*>(value) : "";
    m_captured += text.size();
    if (m_capture->size() + text.size() > kMaxUnitText || m_captured > 4 * kMaxInterchangeFile)
        return Fault("line " + std::to_string(xmlTextReaderGetParserLineNumber(m_reader)) +
                     ": a text longer than " + std::to_string(kMaxUnitText) + " bytes");
    m_capture->append(text);
    return Done{};
}

void XliffReader::FinishUnit() {
    ReadUnit read = std::move(*m_unit);
    m_unit.reset();
    m_unitDepth = -1;
    if (read.restype == "x-gettext-domain-header") return;
    TranslationUnit& unit = read.unit;
    if (!ParseItemPath(unit.id) && ParseItemPath(read.sourceFile)) unit.id = read.sourceFile;
    if (unit.id.empty()) {
        m_file.skipped.push_back("a unit without an id (source \"" + unit.source + "\")");
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

Result<UnitFile> XliffReader::Read() {
    if (!m_reader) return MakeError(Error::Code::Malformed, "the XLIFF reader could not start");
    int status = 0;
    while ((status = xmlTextReaderRead(m_reader)) == 1) {
        int depth = xmlTextReaderDepth(m_reader);
        if (depth > kMaxXmlDepth)
            return Fault("elements nested deeper than " + std::to_string(kMaxXmlDepth) + " levels");
        switch (xmlTextReaderNodeType(m_reader)) {
        case XML_READER_TYPE_DOCUMENT_TYPE:
            return MakeError(Error::Code::Malformed, "a document type declaration, which XLIFF has no use for");
        case XML_READER_TYPE_ENTITY_REFERENCE:
            return MakeError(Error::Code::Malformed, "an entity reference, which XLIFF has no use for");
        case XML_READER_TYPE_ELEMENT: {
            std::string name = S(xmlTextReaderConstLocalName(m_reader));
            if (auto element = Element(name, depth, xmlTextReaderIsEmptyElement(m_reader) == 1); !element)
                return element.GetError();
            break;
        }
        case XML_READER_TYPE_END_ELEMENT: EndElement(depth); break;
        case XML_READER_TYPE_TEXT:
        case XML_READER_TYPE_CDATA:
        case XML_READER_TYPE_WHITESPACE:
        case XML_READER_TYPE_SIGNIFICANT_WHITESPACE:
            if (auto text = Text(); !text) return text.GetError();
            break;
        default: break;
        }
    }
    if (status != 0 || !m_error.empty()) return Fault("the XML is malformed");
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
