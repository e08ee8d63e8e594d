#include "input_output.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Input is read a byte at a time on the program's only thread, so the
// stream's lock buys nothing and costs most of each read.
int
next_byte(std::FILE *in)
{
#if defined(_WIN32)
	return _getc_nolock(in);
#else
	return getc_unlocked(in);
#endif
}

const char count_prompt[] = "please enter the number of the student:";
const char record_prompt[] = "please enter the information of the student:";

// The six bytes that separate tokens; no other byte does, whatever the
// locale says.
bool
is_space(int c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

bool
is_digit(int c)
{
	return c >= '0' && c <= '9';
}

bool
is_gbk_lead(char c)
{
	const auto b = static_cast<unsigned char>(c);
	return b >= 0x81 && b <= 0xfe;
}

// The longest prefix of b[0..len) of at most limit bytes that does not
// split a GBK double-byte character (a byte 0x81-0xFE and the one after
// it).  Pairs are counted from the start: a trail byte can look like a lead.
std::size_t
gbk_cut(const char *b, std::size_t len, std::size_t limit)
{
	std::size_t n = 0;
	while (n < len) {
		const std::size_t step = is_gbk_lead(b[n]) ? 2 : 1;
		if (n + step > limit)
			break;
		n += step;
	}
	return n;
}

int
skip_space(std::FILE *in)
{
	int c = 0;
	do
		c = next_byte(in);
	while (is_space(c));
	return c;
}

void
keep(token *t, int c)
{
	if (t->len < sizeof t->bytes)
		t->bytes[t->len++] = static_cast<char>(c);
	else
		t->more = true;
}

// The input gave out before a token began: at its end, or on a read error.
scan_status
ended(std::FILE *in, token *t)
{
	if (std::ferror(in) != 0) {
		t->error = errno;
		return scan_status::read_error;
	}
	return scan_status::end;
}

// Reads on through the token a conversion failed on, only as far as a
// message shows it.
void
finish_token(std::FILE *in, token *t)
{
	while (!t->more) {
		const int c = next_byte(in);
		if (c == EOF || is_space(c))
			return;
		keep(t, c);
	}
}

// Writes bytes quoted, with control bytes escaped so that no input can
// drive the terminal.  Bytes from 0x80 up pass as they are (GBK text).
void
put_quoted(std::FILE *err, const char *bytes, std::size_t len)
{
	std::fputc('"', err);
	for (std::size_t i = 0; i < len; ++i) {
		const auto b = static_cast<unsigned char>(bytes[i]);
		if (b < 0x20 || b == 0x7f) {
			std::fprintf(err, "\\x%02x", b);
			continue;
		}
		if (b == '"' || b == '\\')
			std::fputc('\\', err);
		std::fputc(b, err);
	}
	std::fputc('"', err);
}

void
put_token(std::FILE *err, const token &t)
{
	if (!t.more) {
		put_quoted(err, t.bytes, t.len);
		return;
	}
	put_quoted(err, t.bytes, gbk_cut(t.bytes, t.len, sizeof t.bytes));
	std::fputs("...", err);
}

// Student 0 stands for the count, which comes before any student.
void
put_prefix(std::FILE *err, int student_no)
{
	std::fputs("roster: ", err);
	if (student_no > 0)
		std::fprintf(err, "student %d: ", student_no);
}

// Says what the input failed on.
void
report_failure(std::FILE *err, int student_no, const char *field,
    scan_status status, const token &t)
{
	if (status == scan_status::read_error) {
		std::fprintf(err, "roster: read error: %s\n",
		    std::strerror(t.error));
		return;
	}
	put_prefix(err, student_no);
	std::fprintf(err, "expected %s, found ", field);
	if (status == scan_status::end) {
		std::fputs("end of input\n", err);
		return;
	}
	put_token(err, t);
	if (status == scan_status::out_of_range)
		std::fputs(" (out of range)", err);
	std::fputc('\n', err);
}

bool
read_int(std::FILE *in, std::FILE *err, int *value, int student_no,
    const char *field)
{
	token t{};
	const scan_status status = scan_int(in, value, &t);
	if (status == scan_status::ok)
		return true;
	report_failure(err, student_no, field, status, t);
	return false;
}

bool
read_name(std::FILE *in, std::FILE *err, char (&name)[sizeof student::name],
    int student_no)
{
	token t{};
	const scan_status status = scan_name(in, name, &t);
	if (status == scan_status::ok)
		return true;
	if (status != scan_status::name_cut) {
		report_failure(err, student_no, "the name", status, t);
		return false;
	}
	// The record is kept; say what was dropped.
	put_prefix(err, student_no);
	std::fputs("name ", err);
	put_token(err, t);
	std::fprintf(err, " is longer than %d bytes; kept as ",
	    static_cast<int>(sizeof name) - 1);
	put_quoted(err, name, std::strlen(name));
	std::fputc('\n', err);
	return true;
}

bool
read_student(std::FILE *in, std::FILE *err, student *rec, int student_no)
{
	return read_int(in, err, &rec->num, student_no, "the student number") &&
	    read_name(in, err, rec->name, student_no) &&
	    read_int(in, err, &rec->computer, student_no, "the computer mark") &&
	    read_int(in, err, &rec->math, student_no, "the math mark") &&
	    read_int(in, err, &rec->english, student_no, "the English mark");
}

// Reads the count and refuses one the roster cannot hold before any
// record is asked for.
bool
read_count(std::FILE *in, std::FILE *err, int *n)
{
	if (!read_int(in, err, n, 0, "the number of students"))
		return false;
	if (*n <= Maxsize)
		return true;
	std::fprintf(err, "roster: too many students: %d (at most %d)\n", *n,
	    Maxsize);
	return false;
}

void
put_line(const char *text, std::FILE *out)
{
	std::fputs(text, out);
	std::fputc('\n', out);
}

} // namespace

scan_status
scan_int(std::FILE *in, int *value, token *seen)
{
	*seen = token{};
	int c = skip_space(in);
	if (c == EOF)
		return ended(in, seen);
	const bool negative = c == '-';
	if (c == '+' || c == '-') {
		keep(seen, c);
		c = next_byte(in);
	}
	if (!is_digit(c)) {
		if (c != EOF && !is_space(c)) {
			keep(seen, c);
			finish_token(in, seen);
		}
		return scan_status::not_number;
	}
	// The magnitude of the most negative int is one more than that of
	// the most positive.
	const std::int64_t limit =
	    std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
	std::int64_t magnitude = 0;
	do {
		keep(seen, c);
		magnitude = magnitude * 10 + (c - '0');
		if (magnitude > limit) {
			// Only as many more digits as the message shows.
			while (!seen->more) {
				c = next_byte(in);
				if (!is_digit(c))
					break;
				keep(seen, c);
			}
			return scan_status::out_of_range;
		}
		c = next_byte(in);
	} while (is_digit(c));
	// A byte glued to the number (12Ann) starts the next token; white
	// space would only be skipped again.
	if (c != EOF && !is_space(c))
		std::ungetc(c, in);
	*value = static_cast<int>(negative ? -magnitude : magnitude);
	return scan_status::ok;
}

scan_status
scan_name(std::FILE *in, char (&name)[sizeof student::name], token *seen)
{
	*seen = token{};
	int c = skip_space(in);
	if (c == EOF)
		return ended(in, seen);
	// The whole token is read, however long; only its start is kept.
	do {
		keep(seen, c);
		c = next_byte(in);
	} while (c != EOF && !is_space(c));
	const std::size_t room = sizeof name - 1;
	const bool cut = seen->more || seen->len > room;
	const std::size_t n =
	    cut ? gbk_cut(seen->bytes, seen->len, room) : seen->len;
	std::memcpy(name, seen->bytes, n);
	name[n] = '\0';
	return cut ? scan_status::name_cut : scan_status::ok;
}

bool
read_roster(std::FILE *in, std::FILE *out, std::FILE *err, student *s)
{
	put_line(count_prompt, out);
	int n = 0;
	if (!read_count(in, err, &n)) {
		Count = 0;
		return false;
	}
	put_line(record_prompt, out);
	int i = 0;
	while (i < n && read_student(in, err, &s[i], i + 1))
		++i;
	// Only records read whole are in use; a count of 0 or below asks
	// for none and so is read whole.
	Count = i;
	return i >= n;
}

void
write_report(std::FILE *out, const student *s)
{
	for (int i = 0; i < Count; ++i)
		std::fprintf(out, "%d\t%s\t%d\t%d\t%d\t%.2f\n", s[i].num,
		    s[i].name, s[i].computer, s[i].math, s[i].english,
		    s[i].avg);
}

bool
new_student(student *s)
{
	return read_roster(stdin, stdout, stderr, s);
}

void
output_student(const student *s)
{
	write_report(stdout, s);
}

bool
flush_output()
{
	// A write that failed earlier left the error flag and its errno; the
	// flush writes out what is still buffered, or fails with an errno
	// of its own.
	const bool failed_before = std::ferror(stdout) != 0;
	if (std::fflush(stdout) == 0 && !failed_before)
		return true;
	std::fprintf(stderr, "roster: write error: %s\n", std::strerror(errno));
	return false;
}
