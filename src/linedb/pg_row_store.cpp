#include "linedb/pg_row_store.h"

#include <algorithm>
#include <charconv>
#include <variant>
#include <vector>

#include "linedb/line_record_schema.h"
#include "linedb/pg_session.h"

namespace orlax::linedb {
namespace {

using report::ColumnKind;
using report::RecordRow;

// The parameter type of each kind of column.
std::string_view SqlTypeOf(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::Integer: return "bigint";
        case ColumnKind::Text: return "text";
        case ColumnKind::Uuid: return "uuid";
        case ColumnKind::Timestamp: return "timestamptz";
        case ColumnKind::Bytes: return "bytea";
        case ColumnKind::Json: return "jsonb";
    }
    return "text";
}

// INSERT of `count` rows, every value a typed parameter.
std::string InsertSql(std::size_t count) {
    const auto columns = report::RowColumns();
    std::string sql = "INSERT INTO production_record (";
    for (std::size_t c = 0; c < columns.size(); ++c) sql += (c ? ", " : "") + std::string(columns[c].name);
    sql += ") VALUES ";
    std::size_t param = 1;
    for (std::size_t r = 0; r < count; ++r) {
        sql += r ? ", (" : "(";
        for (std::size_t c = 0; c < columns.size(); ++c)
            sql += (c ? ", $" : "$") + std::to_string(param++) + "::" + std::string(SqlTypeOf(columns[c].kind));
        sql += ")";
    }
    return sql + " ON CONFLICT (record_id) DO NOTHING";
}

// Each value as the text of its parameter: bytes as "\x" and their hex.
std::vector<std::string> ParameterTexts(std::span<const RecordRow> rows, std::vector<bool>& isNull) {
    const auto columns = report::RowColumns();
    std::vector<std::string> texts;
    for (const RecordRow& row : rows) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const report::RowValue& value = row.values.at(c);
            isNull.push_back(!value);
            if (!value) {
                texts.emplace_back();
                continue;
            }
            std::string text = std::visit(
                [](const auto& v) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) return v;
                    else return std::to_string(v);
                },
                *value);
            texts.push_back(columns[c].kind == ColumnKind::Bytes ? "\\x" + text : std::move(text));
        }
    }
    return texts;
}

// Brings the schema up to ours when it is older or missing.
std::string EnsureSchema(PgSession& session, Deadline deadline) {
    const CommandResult found =
        session.Run("SELECT to_regclass('orlax_schema_version') IS NOT NULL", {}, deadline);
    if (!found.ok || found.rows.empty()) return "the line database schema could not be read: " + found.failure;
    if (found.rows[0][0] == "t") {
        const CommandResult version = session.Run("SELECT coalesce(max(version), 0) FROM orlax_schema_version", {}, deadline);
        if (!version.ok || version.rows.empty())
            return "the line database schema version could not be read: " + version.failure;
        const std::string& text = version.rows[0][0];
        int have = 0;
        const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), have);
        if (failed == std::errc() && end == text.data() + text.size() && have >= kSchemaVersion) return {};
    }
    const CommandResult made = session.Run(LineRecordSchemaSql(), {}, deadline);
    if (!made.ok) return "the line database schema could not be made: " + made.failure;
    return {};
}

}  // namespace

report::RowStore::Result PgRowStore::Store(std::span<const RecordRow> rows, Deadline deadline) {
    Result result;
    const auto session = PgSession::Open(conninfo_, deadline, result.failure);
    if (!session) return result;
    // The server gives up on a command no later than we do.
    const std::string limit = "SET statement_timeout = " + std::to_string(kStatementTimeout.count());
    if (const CommandResult set = session->Run(limit, {}, deadline); !set.ok) {
        result.failure = set.failure;
        return result;
    }
    if (result.failure = EnsureSchema(*session, deadline); !result.failure.empty()) return result;
    while (result.committed < rows.size()) {
        const auto batch = rows.subspan(result.committed, std::min(kRowsPerBatch, rows.size() - result.committed));
        std::vector<bool> isNull;
        const std::vector<std::string> texts = ParameterTexts(batch, isNull);
        std::vector<const char*> params;
        for (std::size_t i = 0; i < texts.size(); ++i) params.push_back(isNull[i] ? nullptr : texts[i].c_str());
        const CommandResult inserted = session->Run(InsertSql(batch.size()), params, deadline);
        if (!inserted.ok) {
            result.failure = "the line database did not take the rows: " + inserted.failure;
            return result;
        }
        result.committed += batch.size();
    }
    return result;
}

}  // namespace orlax::linedb
