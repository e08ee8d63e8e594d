// Runs the built program on a table of inputs and checks the bytes of its
// standard output and standard error, and its exit status.  The same table
// runs the program under valgrind, and a Windows build under wine, through
// ROSTER_RUNNER.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;

struct outcome {
	std::string out;
	std::string err;
	int status = -1;	// exit status, or -1 if the program did not exit
};

// A file in the test's own temporary folder, removed afterwards.
class temp_file {
public:
	temp_file()
	{
		const char *dir = std::getenv("TMPDIR");
		path_ = std::string(dir != nullptr ? dir : "/tmp") +
		    "/roster-e2e-XXXXXX";
		const int fd = mkstemp(path_.data());
		if (fd < 0)
			throw std::runtime_error("mkstemp failed");
		close(fd);
	}
	~temp_file() { unlink(path_.c_str()); }
	temp_file(const temp_file &) = delete;
	temp_file &operator=(const temp_file &) = delete;

	const char *path() const { return path_.c_str(); }

	void write(const std::string &bytes) const
	{
		std::FILE *f = std::fopen(path(), "wb");
		if (f == nullptr ||
		    std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() ||
		    std::fclose(f) != 0)
			throw std::runtime_error("writing a temporary file failed");
	}

	std::string read() const
	{
		std::string bytes;
		std::FILE *f = std::fopen(path(), "rb");
		if (f == nullptr)
			throw std::runtime_error("reading a temporary file failed");
		for (int c = std::getc(f); c != EOF; c = std::getc(f))
			bytes.push_back(static_cast<char>(c));
		std::fclose(f);
		return bytes;
	}

private:
	std::string path_;
};

void
redirect(const char *path, int flags, int fd)
{
	const int opened = open(path, flags);
	if (opened < 0 || dup2(opened, fd) < 0)
		_exit(126);
	close(opened);
}

// Where the program's standard input comes from and its standard output
// goes: a path, or a pipe to and from the test.
struct wiring {
	const char *stdin_path = nullptr;	// else the input through a pipe
	const char *stdout_path = nullptr;	// else a pipe back to the test
	bool close_stdout = false;
	std::vector<std::string> args;
};

// The command line that runs the program: ROSTER_RUNNER, if set, is a
// command put before it (valgrind and its options, say), split at blanks.
std::vector<std::string>
command_line(const std::vector<std::string> &args)
{
	std::vector<std::string> words;
	if (const char *runner = std::getenv("ROSTER_RUNNER")) {
		std::istringstream split(runner);
		for (std::string w; split >> w;)
			words.push_back(w);
	}
	words.emplace_back(ROSTER_EXE);
	words.insert(words.end(), args.begin(), args.end());
	return words;
}

std::string
drain(int fd)
{
	std::string bytes;
	char buf[4096];
	ssize_t n = 0;
	while ((n = read(fd, buf, sizeof buf)) > 0)
		bytes.append(buf, static_cast<std::size_t>(n));
	return bytes;
}

outcome
run(const std::string &input, const wiring &w)
{
	temp_file err;
	std::vector<std::string> words = command_line(w.args);
	std::vector<char *> argv;
	for (std::string &word : words)
		argv.push_back(word.data());
	argv.push_back(nullptr);
	int in_pipe[2];
	int out_pipe[2];
	if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0)
		throw std::runtime_error("pipe failed");
	const pid_t pid = fork();
	if (pid < 0)
		throw std::runtime_error("fork failed");
	if (pid == 0) {
		// The program meets a closed pipe as any program would.
		std::signal(SIGPIPE, SIG_DFL);
		if (w.stdin_path != nullptr)
			redirect(w.stdin_path, O_RDONLY, 0);
		else
			dup2(in_pipe[0], 0);
		if (w.close_stdout)
			close(1);
		else if (w.stdout_path != nullptr)
			redirect(w.stdout_path, O_WRONLY, 1);
		else
			dup2(out_pipe[1], 1);
		redirect(err.path(), O_WRONLY | O_TRUNC, 2);
		for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1]})
			close(fd);
		execvp(argv[0], argv.data());
		_exit(127);
	}
	close(in_pipe[0]);
	close(out_pipe[1]);
	// The program may stop reading early; what it leaves unread is
	// dropped rather than killing the test.  Inputs here fit in a pipe's
	// buffer or are read whole before the program writes more than the
	// pipe holds.
	std::signal(SIGPIPE, SIG_IGN);
	if (w.stdin_path == nullptr) {
		std::size_t done = 0;
		while (done < input.size()) {
			const ssize_t n = write(in_pipe[1], input.data() + done,
			    input.size() - done);
			if (n <= 0)
				break;
			done += static_cast<std::size_t>(n);
		}
	}
	close(in_pipe[1]);
	outcome o;
	o.out = drain(out_pipe[0]);
	close(out_pipe[0]);
	int status = 0;
	waitpid(pid, &status, 0);
	o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	o.err = err.read();
	return o;
}

// The usual run: input from a file, output to a file.
outcome
run(const std::string &input, std::vector<std::string> args = {})
{
	temp_file in;
	temp_file out;
	in.write(input);
	wiring w;
	w.stdin_path = in.path();
	w.stdout_path = out.path();
	w.args = std::move(args);
	outcome o = run("", w);
	o.out = out.read();
	return o;
}

// Whether the program under test is a Windows build (run under wine).
#ifdef ROSTER_TARGET_WINDOWS
constexpr bool windows = true;
#else
constexpr bool windows = false;
#endif

// The bytes that reach a stream when the program writes these lines.  The
// table holds what a Unix build writes; under the Windows C runtime's text
// mode each line feed the program writes reaches the stream as a carriage
// return and a line feed.
std::string
as_written(const std::string &lines)
{
	if (!windows)
		return lines;
	std::string bytes;
	for (const char c : lines) {
		if (c == '\n')
			bytes += '\r';
		bytes += c;
	}
	return bytes;
}

const std::string count_prompt = "please enter the number of the student:\n";
const std::string prompts =
    count_prompt + "please enter the information of the student:\n";

const std::string worked_input =
    "3\n101 Ann 90 85 77\n102 Ben 60 70 81\n103 Eve 59 60 60\n";
const std::string worked_report = prompts +
    "101\tAnn\t90\t85\t77\t84.00\n"
    "102\tBen\t60\t70\t81\t70.33\n"
    "103\tEve\t59\t60\t60\t59.67\n";

struct e2e_case {
	const char *what;
	std::string input;
	std::string out;
	std::string err;
	int status;
};

std::ostream &
operator<<(std::ostream &os, const e2e_case &c)
{
	return os << c.what;
}

class Program : public testing::TestWithParam<e2e_case> {};

TEST_P(Program, PrintsExactlyTheExpectedBytes)
{
	const e2e_case &c = GetParam();
	const outcome o = run(c.input);
	EXPECT_EQ(o.out, as_written(c.out));
	EXPECT_EQ(o.err, as_written(c.err));
	EXPECT_EQ(o.status, c.status);
}

// A full roster, the number, name and marks taken from the index.
std::string
full_roster(bool report)
{
	std::string text = report ? prompts : "50\n";
	for (int i = 1; i <= 50; ++i) {
		const std::string n = std::to_string(i);
		text += report ? n + "\tS" + n + "\t" + n + "\t0\t0\t" +
			std::to_string(i / 3) + (i % 3 == 0 ? ".00" : i % 3 == 1 ? ".33" : ".67") + "\n"
			       : n + " S" + n + " " + n + " 0 0\n";
	}
	return text;
}

const std::string gbk_name = "\xd5\xc5\xc8\xfd";	// two GBK characters

INSTANTIATE_TEST_SUITE_P(WellFormed, Program, testing::Values(
    e2e_case{"the worked example", worked_input, worked_report, "", 0},
    e2e_case{"all on one line", "3 101 Ann 90 85 77 102 Ben 60 70 81 103 Eve 59 60 60", worked_report, "", 0},
    e2e_case{"records split over lines, CRLF ends",
	"3\r\n101\r\nAnn\r\n90 85\r\n77 102 Ben\r\n60\r\n70 81\r\n103 Eve 59 60 60\r\n", worked_report, "", 0},
    e2e_case{"every white space byte", "3\v101\fAnn\t90 85\r77\n102 Ben 60 70 81 103 Eve 59 60 60", worked_report, "", 0},
    e2e_case{"a count of 0", "0\n101 Ann 90 85 77\n", prompts, "", 0},
    e2e_case{"a negative count", "-4\n101 Ann 90 85 77\n", prompts, "", 0},
    e2e_case{"a full roster", full_roster(false), full_roster(true), "", 0},
    e2e_case{"signs and leading zeros; a name of digits", "1\n007 007 +85 -5 090\n", prompts + "7\t007\t85\t-5\t90\t56.67\n", "", 0},
    e2e_case{"a number glued to a name", "1\n12Ann 90 80 70\n", prompts + "12\tAnn\t90\t80\t70\t80.00\n", "", 0},
    e2e_case{"digits glued to a name", "1\n5 Ann90 1 2 3\n", prompts + "5\tAnn90\t1\t2\t3\t2.00\n", "", 0},
    e2e_case{"a name of nine bytes", "1\n5 ABCDEFGHI 1 2 3\n", prompts + "5\tABCDEFGHI\t1\t2\t3\t2.00\n", "", 0},
    e2e_case{"GBK name bytes pass through", "1\n5 " + gbk_name + " 1 2 3\n", prompts + "5\t" + gbk_name + "\t1\t2\t3\t2.00\n", "", 0},
    e2e_case{"averages near zero", "3\n1 A 0 0 0\n2 B -1 0 0\n3 C -5 3 0\n",
	prompts + "1\tA\t0\t0\t0\t0.00\n2\tB\t-1\t0\t0\t-0.33\n3\tC\t-5\t3\t0\t-0.67\n", "", 0},
    e2e_case{"the ends of the 32-bit range", "2\n2147483647 Max 2147483647 0 0\n-2147483648 Min -2147483648 0 0\n",
	prompts + "2147483647\tMax\t2147483647\t0\t0\t715827882.33\n-2147483648\tMin\t-2147483648\t0\t0\t-715827882.67\n", "", 0},
    e2e_case{"sums beyond 32 bits", "2\n1 Max 2147483647 2147483647 2147483647\n2 Min -2147483648 -2147483648 -2147483648\n",
	prompts + "1\tMax\t2147483647\t2147483647\t2147483647\t2147483647.00\n"
	"2\tMin\t-2147483648\t-2147483648\t-2147483648\t-2147483648.00\n", "", 0},
    e2e_case{"input after the last token is never read",
	"1\n1 A 1 2 3 junk\x1b[2J -99999999999999 \0\xff"s, prompts + "1\tA\t1\t2\t3\t2.00\n", "", 0},
    e2e_case{"a mark's fraction after the last token", "1\n1 A 1 2 3.5\n", prompts + "1\tA\t1\t2\t3\t2.00\n", "", 0},
    e2e_case{"a valid number longer than any buffer", "1\n" + std::string(1 << 20, '0') + "7 A 1 2 3\n", prompts + "7\tA\t1\t2\t3\t2.00\n", "", 0}));

INSTANTIATE_TEST_SUITE_P(BadCount, Program, testing::Values(
    e2e_case{"a count above 50", "51\n1 A 1 2 3\n", count_prompt, "roster: too many students: 51 (at most 50)\n", 1},
    e2e_case{"the largest count", "2147483647\n", count_prompt, "roster: too many students: 2147483647 (at most 50)\n", 1},
    e2e_case{"no input at all", "", count_prompt, "roster: expected the number of students, found end of input\n", 1},
    e2e_case{"white space only", " \r\n\t\n", count_prompt, "roster: expected the number of students, found end of input\n", 1},
    e2e_case{"a word for a count", "three\n", count_prompt, "roster: expected the number of students, found \"three\"\n", 1},
    e2e_case{"a count past 32 bits", "4294967299\n", count_prompt,
	"roster: expected the number of students, found \"4294967299\" (out of range)\n", 1},
    e2e_case{"a count below 32 bits", "-2147483649\n", count_prompt,
	"roster: expected the number of students, found \"-2147483649\" (out of range)\n", 1}));

INSTANTIATE_TEST_SUITE_P(BadRecord, Program, testing::Values(
    e2e_case{"the input ends inside a record", "2\n101 Ann 90 85 77\n102 Ben 60 70",
	prompts + "101\tAnn\t90\t85\t77\t84.00\n", "roster: student 2: expected the English mark, found end of input\n", 1},
    e2e_case{"the input ends before the name", "1\n5\n", prompts, "roster: student 1: expected the name, found end of input\n", 1},
    e2e_case{"the input ends before a record", "2\n101 Ann 90 85 77\n",
	prompts + "101\tAnn\t90\t85\t77\t84.00\n", "roster: student 2: expected the student number, found end of input\n", 1},
    e2e_case{"a word for a mark stops the reading", "3\n1 A 1 2 3\n2 B 4 x 6\n3 C 7 8 9\n",
	prompts + "1\tA\t1\t2\t3\t2.00\n", "roster: student 2: expected the math mark, found \"x\"\n", 1},
    e2e_case{"a fraction in a mark", "2\n1 A 90 85.5 77\n2 B 1 1 1\n", prompts,
	"roster: student 1: expected the English mark, found \".5\"\n", 1},
    e2e_case{"a name for a number", "1\nAnn 101 90 85 77\n", prompts,
	"roster: student 1: expected the student number, found \"Ann\"\n", 1},
    e2e_case{"a count with a fraction", "2.5\n1 A 1 1 1\n", prompts,
	"roster: student 1: expected the student number, found \".5\"\n", 1},
    e2e_case{"a mark past 32 bits", "1\n1 A 2147483648 0 0\n", prompts,
	"roster: student 1: expected the computer mark, found \"2147483648\" (out of range)\n", 1},
    e2e_case{"a student number below 32 bits", "2\n1 A 1 1 1\n-2147483649 B 1 1 1\n", prompts + "1\tA\t1\t1\t1\t1.00\n",
	"roster: student 2: expected the student number, found \"-2147483649\" (out of range)\n", 1},
    e2e_case{"a huge number is shown cut short", "1\n1 A 1 " + std::string(1 << 20, '9') + " 1\n", prompts,
	"roster: student 1: expected the math mark, found \"" + std::string(32, '9') + "\"... (out of range)\n", 1},
    e2e_case{"control bytes are escaped", "1\n1 A 1 \x01\x1b[2J\x1f\x7f\"\\ 1\n", prompts,
	"roster: student 1: expected the math mark, found \"\\x01\\x1b[2J\\x1f\\x7f\\\"\\\\\"\n", 1}));

INSTANTIATE_TEST_SUITE_P(LongName, Program, testing::Values(
    e2e_case{"a name of ten bytes is cut and the record kept", "2\n1 Christophe 90 80 70\n2 Bo 1 2 3\n",
	prompts + "1\tChristoph\t90\t80\t70\t80.00\n2\tBo\t1\t2\t3\t2.00\n",
	"roster: student 1: name \"Christophe\" is longer than 9 bytes; kept as \"Christoph\"\n", 0},
    e2e_case{"a GBK character is never split", "1\n1 " + gbk_name + gbk_name + "\xcd\xf5 1 2 3\n",
	prompts + "1\t" + gbk_name + gbk_name + "\t1\t2\t3\t2.00\n",
	"roster: student 1: name \"" + gbk_name + gbk_name + "\xcd\xf5\" is longer than 9 bytes; kept as \"" + gbk_name + gbk_name + "\"\n", 0},
    e2e_case{"a huge name is streamed past", "1\n1 " + std::string(1 << 22, 'n') + " 1 2 3\n",
	prompts + "1\tnnnnnnnnn\t1\t2\t3\t2.00\n",
	"roster: student 1: name \"" + std::string(32, 'n') + "\"... is longer than 9 bytes; kept as \"nnnnnnnnn\"\n", 0}));

// Text mode on Windows ends the input at a Ctrl-Z byte, as a console user
// types it; elsewhere the byte is part of a name like any other.
INSTANTIATE_TEST_SUITE_P(TextMode, Program, testing::Values(
    windows ? e2e_case{"a Ctrl-Z byte ends the input", "1\n1 A\x1a" "B 1 2 3\n", prompts,
		  "roster: student 1: expected the computer mark, found end of input\n", 1}
	    : e2e_case{"a Ctrl-Z byte is a name byte", "1\n1 A\x1a" "B 1 2 3\n", prompts + "1\tA\x1a" "B\t1\t2\t3\t2.00\n", "", 0}));

TEST(ProgramStreams, PipesCarryTheSameBytesAsFiles)
{
	const outcome o = run(worked_input, wiring{});
	EXPECT_EQ(o.out, as_written(worked_report));
	EXPECT_EQ(o.err, "");
	EXPECT_EQ(o.status, 0);
}

TEST(ProgramStreams, ArgumentsChangeNothing)
{
	const outcome o = run(worked_input, {"--help", "-n", "5", "x"});
	EXPECT_EQ(o.out, as_written(worked_report));
	EXPECT_EQ(o.err, "");
	EXPECT_EQ(o.status, 0);
}

TEST(ProgramStreams, AnOutputThatCannotBeWrittenIsAnError)
{
	wiring full;
	full.stdout_path = "/dev/full";
	wiring closed;
	closed.close_stdout = true;
	const std::pair<wiring, std::string> cases[] = {
	    {full, "roster: write error: No space left on device\n"},
	    {closed, "roster: write error: Bad file descriptor\n"},
	};
	for (const auto &[w, err] : cases) {
		const outcome o = run(worked_input, w);
		EXPECT_EQ(o.err, as_written(err));
		EXPECT_EQ(o.status, 1);
	}
}

TEST(ProgramStreams, AnUnreadableInputIsAReadError)
{
	temp_file out;
	wiring w;
	w.stdin_path = "/";
	w.stdout_path = out.path();
	const outcome o = run("", w);
	EXPECT_EQ(out.read(), as_written(count_prompt));
	// Windows names the failure to read a directory differently.
	EXPECT_EQ(o.err, as_written(windows ?
	    "roster: read error: Invalid argument\n" :
	    "roster: read error: Is a directory\n"));
	EXPECT_EQ(o.status, 1);
}

} // namespace
