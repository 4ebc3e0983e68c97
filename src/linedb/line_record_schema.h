// The line database's schema, as shipped for a DBA (line_record_schema.sql)
// and applied by the tool when the database has an older one or none.
#pragma once

#include <string_view>

namespace orlax::linedb {

// The version the script leaves in orlax_schema_version.
inline constexpr int kSchemaVersion = 1;

// The whole script: it creates what is missing and records the version.
std::string_view LineRecordSchemaSql();

}  // namespace orlax::linedb
