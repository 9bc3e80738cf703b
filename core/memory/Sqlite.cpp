#include "memory/Sqlite.h"

namespace quillon::sqlite {

Error ErrorOf(sqlite3* db, int code, std::string_view what) {
    std::string message = std::string(what) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
    case SQLITE_SCHEMA:
        return MakeError(Error::Code::Malformed, message);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return MakeError(Error::Code::Busy, message);
    default:
        return MakeError(Error::Code::Io, message);
    }
}

Statement::Statement(sqlite3* db, std::string_view sql) {
    m_code = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (m_code != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

Status Execute(sqlite3* db, const char* sql) {
    char* message = nullptr;
    int code = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (code != SQLITE_OK) return ErrorOf(db, code, "translation memory");
    return Done{};
}

} // namespace quillon::sqlite
