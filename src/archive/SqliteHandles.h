#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kpw::archive {

struct CloseDatabase {
    // close_v2 waits for statements still open instead of failing.
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

// A prepared statement, finalized with its owner. Bindings and the cursor
// are reset by Cursor at the end of each use, so that no statement keeps a
// read transaction open between calls.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql) {
        result_ = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                     SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(Statement&& other) noexcept : statement_(other.statement_), result_(other.result_) {
        other.statement_ = nullptr;
    }
    Statement& operator=(Statement&& other) noexcept {
        std::swap(statement_, other.statement_);
        std::swap(result_, other.result_);
        return *this;
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // SQLITE_OK when the statement was prepared.
    int PrepareResult() const { return statement_ ? SQLITE_OK : result_; }
    sqlite3_stmt* Get() const { return statement_; }

private:
    sqlite3_stmt* statement_ = nullptr;
    int result_ = SQLITE_MISUSE;
};

// One use of a statement: bind, step, read columns; reset when it ends.
class Cursor {
public:
    explicit Cursor(Statement& statement) : s_(statement.Get()) {}
    ~Cursor() {
        sqlite3_reset(s_);
        sqlite3_clear_bindings(s_);
    }
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    Cursor& Bind(int n, int64_t value) {
        Note(sqlite3_bind_int64(s_, n, value));
        return *this;
    }
    Cursor& Bind(int n, std::string_view text) {
        Note(sqlite3_bind_text64(s_, n, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or the failure (also one of a binding before).
    int Step() {
        if (failure_ != SQLITE_OK) return failure_;
        const int result = sqlite3_step(s_);
        if (result != SQLITE_ROW && result != SQLITE_DONE) failure_ = result;
        return result;
    }
    int64_t Int(int column) const { return sqlite3_column_int64(s_, column); }
    std::string Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, column));
        return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(s_, column)))
                    : std::string();
    }

private:
    void Note(int result) {
        if (result != SQLITE_OK && failure_ == SQLITE_OK) failure_ = result;
    }
    sqlite3_stmt* s_;
    int failure_ = SQLITE_OK;
};

}  // namespace kpw::archive
