// Streams over test data for the unit tests.
#ifndef TESTS_STREAM_H
#define TESTS_STREAM_H

#include <cstdio>
#include <string>
#include <string_view>

// A read stream over the given bytes, NUL bytes included.
class input_stream {
public:
	explicit input_stream(std::string_view bytes);
	~input_stream();
	input_stream(const input_stream &) = delete;
	input_stream &operator=(const input_stream &) = delete;

	std::FILE *get() const { return file_; }

private:
	std::FILE *file_;
};

// A write stream whose bytes can be taken back.
class output_stream {
public:
	output_stream();
	~output_stream();
	output_stream(const output_stream &) = delete;
	output_stream &operator=(const output_stream &) = delete;

	std::FILE *get() const { return file_; }
	std::string text();

private:
	std::FILE *file_;
};

#endif
