// Connection strings in the OLE DB style that the program keeps are mapped to
// ODBC keywords: the provider becomes the "SQL Server" driver, integrated
// security a trusted connection, the catalog the database, the data source the server.
#pragma once
#include <string>

namespace db {

// A string without a Provider key is taken to be ODBC already and passes unchanged.
std::string OleDbToOdbc(const std::string& connectionString);

}  // namespace db
