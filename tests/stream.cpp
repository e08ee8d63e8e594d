#include "stream.h"

#include <stdexcept>

namespace {

std::FILE *
open_temp()
{
	std::FILE *f = std::tmpfile();
	if (f == nullptr)
		throw std::runtime_error("tmpfile failed");
	return f;
}

std::string
read_all(std::FILE *f)
{
	std::string bytes;
	for (int c = std::getc(f); c != EOF; c = std::getc(f))
		bytes.push_back(static_cast<char>(c));
	return bytes;
}

} // namespace

input_stream::input_stream(std::string_view bytes) : file_(open_temp())
{
	if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
		throw std::runtime_error("writing test input failed");
	std::rewind(file_);
}

input_stream::~input_stream() { std::fclose(file_); }

output_stream::output_stream() : file_(open_temp()) {}

output_stream::~output_stream() { std::fclose(file_); }

std::string
output_stream::text()
{
	std::fflush(file_);
	std::rewind(file_);
	std::string bytes = read_all(file_);
	std::fseek(file_, 0, SEEK_END);
	return bytes;
}
