// Run when Quillon is built: reads the single-byte code pages' tables from
// the C library's converters and writes them as C++ source, which defines
// BuiltInSingleByteTable (see SingleByteTable.h).
//
// Usage: quillon_codepage_tables OUTPUT.cpp

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "io/SingleByteTableReader.h"

namespace {

using quillon::ReadTable;

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

void WriteTable(std::ostream& out, std::uint32_t codePage, const ReadTable& table) {
    out << "constexpr UnitAndByte kFromUnit" << codePage << "[] = {";
    for (std::size_t i = 0; i < table.fromUnit.size(); ++i)
        out << (i % 8 ? " " : "\n    ") << "{" << Hex(table.fromUnit[i].unit) << ", " << Hex(table.fromUnit[i].byte)
            << "},";
    out << "\n};\n\n";
}

std::string Source() {
    std::ostringstream out;
    out << "// Written by quillon_codepage_tables from the C library's converters.\n"
        << "#include \"io/SingleByteTable.h\"\n\nnamespace quillon {\n\nnamespace {\n\n";
    std::ostringstream tables;
    for (std::uint32_t codePage : quillon::kSingleByteTableCodePages) {
        std::optional<ReadTable> table = quillon::ReadSingleByteTable(codePage);
        if (!table) continue; // the system lacks the converter: the code page converts through it or not at all
        WriteTable(out, codePage, *table);
        tables << "    SingleByteTable{" << codePage << ", {";
        for (std::size_t byte = 0; byte < table->toUnit.size(); ++byte)
            tables << (byte % 8 ? " " : "\n        ") << Hex(table->toUnit[byte]) << ",";
        tables << "\n    }, kFromUnit" << codePage << "},\n";
    }
    out << "constexpr SingleByteTable kTables[] = {\n"
        << tables.str() << "    SingleByteTable{0, {}, {}}, // none of the code pages above\n};\n\n"
        << "} // namespace\n\n"
        << "const SingleByteTable* BuiltInSingleByteTable(std::uint32_t codePage) {\n"
        << "    for (const SingleByteTable& table : kTables)\n"
        << "        if (table.codePage == codePage && codePage != 0) return &table;\n"
        << "    return nullptr;\n}\n\n} // namespace quillon\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon_codepage_tables OUTPUT.cpp\n");
        return 2;
    }
    const std::string source = Source();
    // Left as it is when nothing changed, so that the core is not compiled again.
    std::ifstream existing(argv[1], std::ios::binary);
    std::ostringstream before;
    before << existing.rdbuf();
    if (existing && before.str() == source) return 0;
    const std::string temporary = std::string(argv[1]) + ".part";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << source;
    file.close();
    if (!file || std::rename(temporary.c_str(), argv[1]) != 0) {
        std::fprintf(stderr, "quillon_codepage_tables: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
