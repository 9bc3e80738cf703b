#pragma once
// A thin layer over SQLite's C interface for the memory: one statement with
// its bindings and columns, and SQLite's result codes as Errors.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "io/Result.h"

namespace quillon::sqlite {

// The error for a failed call on `db`: a file that is not a database or is
// damaged is Malformed, a locked one Busy, anything else Io.
Error ErrorOf(sqlite3* db, int code, std::string_view what);

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // The error of the preparation, when there was one.
    bool Prepared() const { return m_stmt != nullptr; }
    int PrepareCode() const { return m_code; }

    Statement& Bind(int index, std::string_view text) {
        sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int index, std::int64_t value) {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return sqlite3_step(m_stmt); }
    void Reset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    std::string Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column))) : std::string();
    }
    std::int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_code = SQLITE_OK;
};

// Runs statements that return no rows.
Status Execute(sqlite3* db, const char* sql);

} // namespace quillon::sqlite
