#include "interchange/Xliff.h"

#include <libxml/xmlwriter.h>


namespace quillon {

namespace {

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
const xmlChar* X(const std::string& text) { return X(text.c_str()); }

std::string_view StateName(UnitState state) {
    switch (state) {
    case UnitState::Untranslated: return "new";
    case UnitState::Translated: return "translated";
    case UnitState::NeedsReview: return "needs-review-translation";
    }
    return "new";
}

// The writer's calls return a negative number on failure; the first one stops the file.
// Its output goes straight into one string reserved for the whole file: a
// memory buffer of the writer's own would grow step by step and then be
// copied, and on a large project fresh memory is most of the cost.
class XmlOut {
public:
    explicit XmlOut(std::size_t expected) {
        m_text.reserve(expected);
        xmlOutputBufferPtr output = xmlOutputBufferCreateIO(&XmlOut::Append, nullptr, this, nullptr);
        m_writer = output ? xmlNewTextWriter(output) : nullptr; // owns `output` from here
        if (output && !m_writer) xmlOutputBufferClose(output);
        m_ok = m_writer != nullptr;
    }
    ~XmlOut() {
        if (m_writer) xmlFreeTextWriter(m_writer);
    }
    XmlOut(const XmlOut&) = delete;
    XmlOut& operator=(const XmlOut&) = delete;

    bool Ok() const { return m_ok; }
    xmlTextWriterPtr W() { return m_writer; }
    void Check(int result) { m_ok = m_ok && result >= 0; }
    void Start(const char* name) { Check(xmlTextWriterStartElement(m_writer, X(name))); }
    void End() { Check(xmlTextWriterEndElement(m_writer)); }
    void Attribute(const char* name, const std::string& value) {
        Check(xmlTextWriterWriteAttribute(m_writer, X(name), X(value)));
    }
    void Text(const std::string& text) { Check(xmlTextWriterWriteString(m_writer, X(text))); }
    std::string Take() {
        Check(xmlTextWriterEndDocument(m_writer));
        xmlFreeTextWriter(m_writer); // flushes the rest into m_text
        m_writer = nullptr;
        return std::move(m_text);
    }

private:
    static int Append(void* self, const char* bytes, int length) {
        static_cast<XmlOut*>(self)->m_text.append(bytes, static_cast<std::size_t>(length));
        return length;
    }

    std::string m_text;
    xmlTextWriterPtr m_writer = nullptr;
    bool m_ok = true;
};

void WriteUnit(XmlOut& out, const TranslationUnit& unit) {
    out.Start("trans-unit");
    out.Attribute("id", unit.id);
    out.Attribute("xml:space", "preserve");
    // translate-toolkit takes a unit that is not approved for a fuzzy one.
    if (unit.state == UnitState::Translated) out.Attribute("approved", "yes");
    out.Start("source");
    out.Text(unit.source);
    out.End();
    out.Start("target");
    out.Attribute("state", std::string(StateName(unit.state)));
    out.Text(unit.target);
    out.End();
    for (const std::string& note : unit.notes) {
        out.Start("note");
        out.Attribute("from", "developer");
        out.Text(note);
        out.End();
    }
    out.End();
}

bool UnitFits(const TranslationUnit& unit) {
    if (!XmlCanHold(unit.id) || !XmlCanHold(unit.source) || !XmlCanHold(unit.target)) return false;
    for (const std::string& note : unit.notes)
        if (!XmlCanHold(note)) return false;
    return true;
}

} // namespace

bool XmlCanHold(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        if (c == 0xEF && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xBF &&
            static_cast<unsigned char>(utf8[i + 2]) >= 0xBE)
            return false;
    }
    return true;
}

Result<WrittenFile> WriteXliff(const UnitFile& file) {
    xmlInitParser();
    XmlOut out(file.units.size() * 320 + 4096); // a unit takes about 300 bytes
    if (!out.Ok()) return MakeError(Error::Code::Io, "no memory for the XLIFF writer");
    out.Check(xmlTextWriterSetIndent(out.W(), 1));
    out.Check(xmlTextWriterSetIndentString(out.W(), X("  ")));
    out.Check(xmlTextWriterStartDocument(out.W(), "1.0", "UTF-8", nullptr));
    out.Start("xliff");
    out.Attribute("version", "1.2");
    out.Attribute("xmlns", "urn:oasis:names:tc:xliff:document:1.2");
    out.Start("file");
    out.Attribute("original", file.original);
    out.Attribute("source-language", file.sourceLanguage);
    out.Attribute("target-language", file.targetLanguage);
    out.Attribute("datatype", "winres");
    out.Start("header");
    out.Start("tool");
    out.Attribute("tool-id", "quillon");
    out.Attribute("tool-name", "Quillon");
    out.End();
    out.End();
    out.Start("body");
    WrittenFile written;
    for (const TranslationUnit& unit : file.units) {
        if (UnitFits(unit)) WriteUnit(out, unit);
        else written.leftOut.push_back(unit.id);
    }
    written.bytes = out.Take();
    if (!out.Ok()) return MakeError(Error::Code::Io, "the XLIFF writer failed");
    return written;
}

} // namespace quillon
