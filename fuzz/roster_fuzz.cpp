// Feeds arbitrary bytes through the program's own reading, averaging and
// printing, as standard input, and checks what must hold for any input:
// nothing written outside the records read, at most Maxsize records in
// use, every name a short zero-terminated token, every average the true
// one, every report line six fields, and success claimed only when every
// record asked for was read.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "computing.h"
#include "input_output.h"
#include "roster_main.h"

namespace {

void
check(bool holds, const char *what)
{
	if (!holds) {
		std::fprintf(stderr, "roster_fuzz: broken: %s\n", what);
		std::abort();
	}
}

// A byte pattern no reader writes by chance, so that a write to a record
// that was not read shows.
constexpr unsigned char unread = 0xa5;

bool
untouched(const student &rec)
{
	const auto *p = reinterpret_cast<const unsigned char *>(&rec);
	for (std::size_t i = 0; i < sizeof rec; ++i)
		if (p[i] != unread)
			return false;
	return true;
}

// The six white-space bytes, written out again here so that a fault in the
// reader's own list cannot hide from the check.
bool
is_space(char c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

void
check_records(const student *s)
{
	check(Count >= 0 && Count <= Maxsize, "Count is outside 0..Maxsize");
	for (int i = 0; i < Count; ++i) {
		const char *name = s[i].name;
		const void *end = std::memchr(name, '\0', sizeof s[i].name);
		check(end != nullptr, "a name is not zero-terminated");
		// A NUL byte typed in a name ends it early, as %s would.
		const std::size_t len = std::strlen(name);
		for (std::size_t k = 0; k < len; ++k)
			check(!is_space(name[k]), "a name holds white space");
		const std::int64_t sum = std::int64_t{s[i].computer} +
		    s[i].math + s[i].english;
		check(s[i].avg == static_cast<double>(sum) / 3.0,
		    "an average is not the sum over three");
	}
	// The record a failed read stopped in may hold part of it; none
	// after it may hold anything.
	for (int i = Count + 1; i < Maxsize; ++i)
		check(untouched(s[i]), "a record past those read was written");
}

// Standard output is one or two prompt lines without tabs, then one line
// of exactly five tabs for each record in use.
void
check_report(const char *out, std::size_t len)
{
	check(len > 0 && out[len - 1] == '\n', "the output ends mid-line");
	int prompts = 0;
	int lines = 0;
	int tabs = 0;
	for (std::size_t i = 0; i < len; ++i) {
		if (out[i] == '\t') {
			++tabs;
			continue;
		}
		if (out[i] != '\n')
			continue;
		if (tabs == 0) {
			check(lines == 0, "a prompt after a report line");
			++prompts;
		} else {
			check(tabs == 5, "a report line without exactly five tabs");
			++lines;
		}
		tabs = 0;
	}
	check(prompts == 1 || prompts == 2, "not one or two prompts");
	check(lines == Count, "not one report line per record");
}

// Every message is one line starting "roster: " with no control byte in
// it, and short whatever the input.  Returns whether any message says the
// input was bad rather than only warning of a cut name.
bool
check_messages(const char *err, std::size_t len)
{
	bool failed = false;
	std::size_t start = 0;
	while (start < len) {
		const char *line = err + start;
		const auto *nl = static_cast<const char *>(
		    std::memchr(line, '\n', len - start));
		check(nl != nullptr, "a message ends mid-line");
		const auto n = static_cast<std::size_t>(nl - line);
		check(n <= 256, "a message longer than any token shown");
		check(std::strncmp(line, "roster: ", 8) == 0,
		    "a message without the program's name");
		for (std::size_t k = 0; k < n; ++k) {
			const auto b = static_cast<unsigned char>(line[k]);
			check(b >= 0x20 && b != 0x7f, "a raw control byte in a message");
		}
		const std::string_view text(line, n);
		if (text.find(" is longer than 9 bytes; kept as ") ==
		    std::string_view::npos)
			failed = true;
		start += n + 1;
	}
	return failed;
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	// fmemopen only reads a buffer opened "r".
	std::FILE *in = fmemopen(const_cast<std::uint8_t *>(data), size, "r");
	char *out_bytes = nullptr;
	std::size_t out_len = 0;
	char *err_bytes = nullptr;
	std::size_t err_len = 0;
	std::FILE *out = open_memstream(&out_bytes, &out_len);
	std::FILE *err = open_memstream(&err_bytes, &err_len);
	check(in != nullptr && out != nullptr && err != nullptr,
	    "cannot open the streams");

	student s[Maxsize];
	std::memset(s, unread, sizeof s);
	Count = -1;
	const bool read_whole = read_roster(in, out, err, s);
	average(s);
	write_report(out, s);
	check(std::fclose(out) == 0 && std::fclose(err) == 0,
	    "cannot close the streams");

	check_records(s);
	check_report(out_bytes, out_len);
	check(read_whole != check_messages(err_bytes, err_len),
	    "success claimed with bad input, or failure without");

	std::fclose(in);
	std::free(out_bytes);
	std::free(err_bytes);
	return 0;
}
