#include "memory/csv_table.h"

#include <csv.h>

namespace korvel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The length of the line that starts the text, its line break included.
std::size_t lineLength(std::string_view text) {
  const std::size_t end = text.find_first_of("\r\n");
  if (end == std::string_view::npos) return text.size();
  if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') return end + 2;
  return end + 1;
}

std::string_view withoutBlanks(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t\r\n");
  return first == std::string_view::npos ? std::string_view{} : line.substr(first);
}

// What the parser's callbacks build: the table, the row being read, the line being fed.
struct Reading {
  CsvTable table;
  CsvRow row;
  int line = 1;
  int rowLine = 0;        // the line the row being read began on
  bool rowEnded = false;  // a row ended while the current line was fed
};

void takeField(void* data, std::size_t size, void* context) {
  auto& r = *static_cast<Reading*>(context);
  std::string field = data == nullptr ? std::string() : std::string(static_cast<const char*>(data), size);
  r.row.line = r.rowLine;
  r.row.fields.push_back(std::move(field));
}

void endRow(int, void* context) {
  auto& r = *static_cast<Reading*>(context);
  const auto& fields = r.row.fields;
  const bool blank = fields.empty() || (fields.size() == 1 && fields[0].empty());
  const bool comment = !fields.empty() && !fields[0].empty() && fields[0][0] == '#';
  if (!blank && !comment) r.table.rows.push_back(std::move(r.row));
  r.row = CsvRow{};
  r.rowEnded = true;
}

class Parser {
 public:
  Parser() { ok_ = csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) == 0; }
  ~Parser() {
    if (ok_) csv_free(&parser_);
  }
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  bool ok() const { return ok_; }
  bool feed(std::string_view text, Reading& r) {
    return csv_parse(&parser_, text.data(), text.size(), takeField, endRow, &r) == text.size();
  }
  bool finish(Reading& r) { return csv_fini(&parser_, takeField, endRow, &r) == 0; }
  bool outOfMemory() { return csv_error(&parser_) == CSV_ENOMEM; }

 private:
  csv_parser parser_{};
  bool ok_ = false;
};

void fail(Reading& r, int line, std::string what) {
  r.table.errorLine = line;
  r.table.error = std::move(what);
}

}  // namespace

CsvTable readCsvTable(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  Reading r;
  Parser parser;
  if (!parser.ok()) {
    fail(r, 0, "out of memory");
    return std::move(r.table);
  }
  // Fed a line at a time, so that every row knows its line: one line ends one row at most, and a row
  // begins on the first line with text after the last row ended. A comment line is not fed at all:
  // its text is free, quotes included. Only a line that starts a row can be one.
  bool atRowStart = true;
  while (!text.empty()) {
    const std::string_view line = text.substr(0, lineLength(text));
    text.remove_prefix(line.size());
    const std::string_view content = withoutBlanks(line);
    if (!(atRowStart && !content.empty() && content[0] == '#')) {
      if (atRowStart && !content.empty()) r.rowLine = r.line;
      r.rowEnded = false;
      if (!parser.feed(line, r)) {
        fail(r, r.line, parser.outOfMemory() ? "out of memory"
                                             : "a double quote out of place: a field that holds commas or double "
                                               "quotes must stand in double quotes, each double quote in it doubled");
        return std::move(r.table);
      }
      atRowStart = r.rowEnded || (atRowStart && content.empty());
    }
    ++r.line;
  }
  if (!parser.finish(r)) fail(r, r.rowLine, "a field's double quotes are never closed");
  return std::move(r.table);
}

}  // namespace korvel
