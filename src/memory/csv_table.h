// Comma-separated text read by RFC 4180's rules (through libcsv) into rows of fields, each row with
// the line of the file it starts on, for the channel lists that come from CHIRP.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvel {

struct CsvRow {
  int line = 0;  // the line of the file the row starts on, from 1
  std::vector<std::string> fields;
};

struct CsvTable {
  std::vector<CsvRow> rows;
  // When the text breaks the quoting rules: the line and what is wrong; rows are then incomplete.
  int errorLine = 0;
  std::string error;
};

// Reads the text: a UTF-8 byte order mark at its start is dropped; blank lines and comment rows (the
// first field begins with "#") are left out. Fields in double quotes may hold commas, line breaks and
// doubled double quotes; blanks around an unquoted field are dropped. A double quote anywhere else,
// or a quoted field never closed, is an error.
CsvTable readCsvTable(std::string_view text);

}  // namespace korvel
