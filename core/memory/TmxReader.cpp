#include <fcntl.h>
#include <libxml/xmlreader.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <optional>

#include "interchange/LanguageTags.h"
#include "io/FileGuards.h"
#include "memory/Tmx.h"

namespace quillon {

namespace {

// Never a DTD, never the network, never an entity substituted: an entity
// reference stays a node of its own, which skips its <tu>.
constexpr int kReaderOptions = XML_PARSE_NONET | XML_PARSE_NOCDATA;

struct Tuv {
    std::string language;
    std::string text;
    bool hasSegment = false;
};

// The <tu> being read.
struct Tu {
    std::string sourceLanguage; // its srclang, when given
    std::string translator;
    std::int64_t changed = 0;
    std::map<std::string, std::string> props;
    std::vector<Tuv> variants;
    std::string fault; // why it is skipped; empty when it is not
};

std::string Attribute(xmlTextReaderPtr reader, const char* name) {
    xmlChar* value = xmlTextReaderGetAttribute(reader, BAD_CAST name);
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

// Errors name the line; the offset stays 0, as a line is no byte offset.
Error Malformed(const std::string& what, std::uint64_t line) {
    return MakeError(Error::Code::Malformed, "line " + std::to_string(line) + ": " + what);
}

std::string LanguageAttribute(xmlTextReaderPtr reader) {
    // xml:lang in TMX 1.4, plain lang in 1.1.
    xmlChar* value = xmlTextReaderGetAttributeNs(reader, BAD_CAST "lang", XML_XML_NAMESPACE);
    std::string text = value ? reinterpret_cast<const char*>(value) : Attribute(reader, "lang");
    xmlFree(value);
    return text;
}

class TmxParser {
public:
    TmxParser(xmlTextReaderPtr reader, const TmxSink& sink, const TmxLimits& limits)
        : m_reader(reader), m_sink(sink), m_limits(limits) {
        xmlTextReaderSetStructuredErrorHandler(reader, &TmxParser::OnError, this);
    }

    Result<TmxReport> Run();

private:
    static void OnError(void* self, xmlErrorPtr error) {
        auto* parser = static_cast<TmxParser*>(self);
        if (parser->m_error.empty() && error) {
            parser->m_error = error->message ? error->message : "malformed XML";
            while (!parser->m_error.empty() && parser->m_error.back() == '\n') parser->m_error.pop_back();
            parser->m_errorLine = static_cast<std::uint64_t>(error->line);
        }
    }
    Status OnElement(std::string_view name, int depth);
    void OnEndElement(std::string_view name, int depth);
    void OnText(int type);
    Status EndTu();
    void Fault(const std::string& why) {
        if (m_tu && m_tu->fault.empty()) m_tu->fault = why;
    }
    std::uint64_t Line() const { return static_cast<std::uint64_t>(xmlTextReaderGetParserLineNumber(m_reader)); }

    xmlTextReaderPtr m_reader;
    const TmxSink& m_sink;
    TmxLimits m_limits;
    TmxReport m_report;
    bool m_sawRoot = false;
    std::string m_headerSource;
    std::optional<Tu> m_tu;
    int m_segmentDepth = -1; // depth of the open <seg>, -1 outside one
    int m_subDepth = -1;     // depth of the open <sub> inside it
    int m_propDepth = -1;
    std::string m_propType, m_propText;
    std::string m_error;
    std::uint64_t m_errorLine = 0;
};

Result<TmxReport> TmxParser::Run() {
    int read;
    while ((read = xmlTextReaderRead(m_reader)) == 1) {
        int type = xmlTextReaderNodeType(m_reader);
        int depth = xmlTextReaderDepth(m_reader);
        if (depth > m_limits.maxDepth) {
            if (!m_tu) return Malformed("elements nested deeper than " + std::to_string(m_limits.maxDepth), Line());
            Fault("elements nested deeper than " + std::to_string(m_limits.maxDepth));
            continue;
        }
        const char* localName = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(m_reader));
        std::string_view name = localName ? localName : "";
        if (type == XML_READER_TYPE_ELEMENT) {
            bool empty = xmlTextReaderIsEmptyElement(m_reader) == 1;
            if (Status handled = OnElement(name, depth); !handled) return handled.GetError();
            if (empty) OnEndElement(name, depth);
            if (empty && name == "tu" && m_tu) {
                if (Status ended = EndTu(); !ended) return ended.GetError();
            }
        } else if (type == XML_READER_TYPE_END_ELEMENT) {
            OnEndElement(name, depth);
            if (name == "tu" && m_tu) {
                if (Status ended = EndTu(); !ended) return ended.GetError();
            }
        } else if (type == XML_READER_TYPE_ENTITY_REFERENCE) {
            Fault("an entity reference");
        } else {
            OnText(type);
        }
    }
    if (read < 0 || !m_error.empty())
        return Malformed("not well-formed XML: " + (m_error.empty() ? "read error" : m_error),
                         m_errorLine ? m_errorLine : Line());
    if (!m_sawRoot) return Malformed("not a TMX file: no <tmx> element", Line());
    return std::move(m_report);
}

Status TmxParser::OnElement(std::string_view name, int depth) {
    if (!m_sawRoot) {
        if (name != "tmx") return Malformed("not a TMX file: the root element is <" + std::string(name) + ">", Line());
        m_sawRoot = true;
        return Done{};
    }
    if (name == "header" && !m_tu) {
        m_headerSource = Attribute(m_reader, "srclang");
    } else if (name == "tu" && !m_tu) {
        m_tu.emplace();
        m_tu->sourceLanguage = Attribute(m_reader, "srclang");
        m_tu->translator = Attribute(m_reader, "changeid");
        if (m_tu->translator.empty()) m_tu->translator = Attribute(m_reader, "creationid");
        auto changed = ParseTmxDate(Attribute(m_reader, "changedate"));
        if (!changed) changed = ParseTmxDate(Attribute(m_reader, "creationdate"));
        m_tu->changed = changed.value_or(0);
    } else if (!m_tu) {
        return Done{};
    } else if (name == "tuv" && m_segmentDepth < 0) {
        m_tu->variants.push_back(Tuv{LanguageAttribute(m_reader), {}, false});
    } else if (name == "seg" && m_segmentDepth < 0 && !m_tu->variants.empty()) {
        m_segmentDepth = depth;
        m_tu->variants.back().hasSegment = true;
    } else if (name == "sub" && m_segmentDepth >= 0 && m_subDepth < 0) {
        m_subDepth = depth;
    } else if (name == "prop" && m_segmentDepth < 0 && m_tu->variants.empty() && m_propDepth < 0) {
        m_propDepth = depth;
        m_propType = Attribute(m_reader, "type");
        m_propText.clear();
    }
    return Done{};
}

void TmxParser::OnEndElement(std::string_view, int depth) {
    if (depth == m_subDepth) m_subDepth = -1;
    if (depth == m_segmentDepth) m_segmentDepth = -1;
    if (depth == m_propDepth) {
        if (m_tu) m_tu->props[m_propType] = m_propText;
        m_propDepth = -1;
    }
}

void TmxParser::OnText(int type) {
    if (type != XML_READER_TYPE_TEXT && type != XML_READER_TYPE_CDATA &&
        type != XML_READER_TYPE_SIGNIFICANT_WHITESPACE && type != XML_READER_TYPE_WHITESPACE)
        return;
    if (!m_tu || (m_segmentDepth < 0 && m_propDepth < 0) || m_subDepth >= 0) return;
    const char* value = reinterpret_cast<const char*>(xmlTextReaderConstValue(m_reader));
    if (!value) return;
    std::string& into = m_segmentDepth >= 0 ? m_tu->variants.back().text : m_propText;
    std::size_t length = std::strlen(value);
    if (into.size() + length > m_limits.maxSegmentBytes) {
        Fault("a text longer than " + std::to_string(m_limits.maxSegmentBytes) + " bytes");
        return;
    }
    into.append(value, length);
}

Status TmxParser::EndTu() {
    Tu tu = std::move(*m_tu);
    m_tu.reset();
    m_segmentDepth = m_subDepth = m_propDepth = -1;
    std::string wanted = !tu.sourceLanguage.empty() ? tu.sourceLanguage : m_headerSource;
    auto sourceTag = PrimaryTag(wanted); // none for "*all*" or nothing: the first variant then
    const Tuv* source = nullptr;
    for (const Tuv& tuv : tu.variants)
        if (tuv.hasSegment && !tuv.text.empty() && (!sourceTag || PrimaryTag(tuv.language) == sourceTag)) {
            source = &tuv;
            break;
        }
    if (tu.fault.empty() && !source) tu.fault = "no segment in the source language";
    auto sourceLanguage = source ? PrimaryTag(source->language) : std::nullopt;
    if (tu.fault.empty() && !sourceLanguage) tu.fault = "no language on the source segment";
    std::size_t delivered = 0;
    for (const Tuv& tuv : tu.variants) {
        auto language = PrimaryTag(tuv.language);
        if (!tu.fault.empty() || &tuv == source || !language || *language == *sourceLanguage || tuv.text.empty())
            continue;
        MemoryUnit unit{source->text, tuv.text, *sourceLanguage, *language, tu.props["x-quillon-module"],
                        tu.props["x-quillon-address"], tu.props["x-quillon-kind"], tu.translator, tu.changed};
        if (Status taken = m_sink(std::move(unit)); !taken) return taken;
        ++delivered;
    }
    if (tu.fault.empty() && delivered == 0) tu.fault = "no translation";
    if (!tu.fault.empty()) {
        ++m_report.skippedUnits;
        if (m_report.skipped.size() < TmxReport::kMaxReportedSkips) m_report.skipped.push_back({Line(), tu.fault});
    }
    m_report.units += delivered;
    return Done{};
}

Result<TmxReport> Parse(xmlTextReaderPtr reader, const TmxSink& sink, const TmxLimits& limits) {
    if (!reader) return MakeError(Error::Code::Io, "cannot start the XML reader");
    std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> owned(reader, xmlFreeTextReader);
    TmxParser parser(reader, sink, limits);
    return parser.Run();
}

} // namespace

Result<TmxReport> ReadTmxFile(const std::string& path, const TmxSink& sink, const TmxLimits& limits) {
    // A FIFO, a device or a folder is refused before anything would wait on it.
    if (Status input = CheckInputFile(path, "TMX file"); !input) return input.GetError();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return MakeError(Error::Code::Io, "cannot read " + path + ": " + std::strerror(errno));
    // Read from the descriptor: given the file's name, libxml2 would unpack
    // a compressed file, and a small file could then stand for gigabytes.
    auto report = Parse(xmlReaderForFd(fd, nullptr, nullptr, kReaderOptions), sink, limits);
    ::close(fd);
    if (!report) {
        Error error = report.GetError();
        error.message = path + ": " + error.message;
        return error;
    }
    return report;
}

Result<TmxReport> ReadTmxBytes(std::string_view bytes, const TmxSink& sink, const TmxLimits& limits) {
    return Parse(xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, kReaderOptions),
                 sink, limits);
}

std::string TmxDate(std::int64_t seconds) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
    return text;
}

std::optional<std::int64_t> ParseTmxDate(std::string_view text) {
    if (text.size() != 16 || text[8] != 'T' || text[15] != 'Z') return std::nullopt;
    auto number = [&](std::size_t at, std::size_t length) -> std::optional<int> {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    auto year = number(0, 4), month = number(4, 2), day = number(6, 2);
    auto hour = number(9, 2), minute = number(11, 2), second = number(13, 2);
    if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 || *day < 1 ||
        *day > 31 || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    std::tm parts{};
    parts.tm_year = *year - 1900;
    parts.tm_mon = *month - 1;
    parts.tm_mday = *day;
    parts.tm_hour = *hour;
    parts.tm_min = *minute;
    parts.tm_sec = *second;
    return static_cast<std::int64_t>(timegm(&parts));
}

} // namespace quillon
