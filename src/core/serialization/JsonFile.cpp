#include "core/serialization/JsonFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/serialization/DurableFile.h"

namespace ztengine {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The power of ten of a number's first significant digit ("123.4e5" gives 7, "0.004" gives -3),
// clamped far outside a double's range so that no exponent overflows an int.
long DecimalMagnitude(const std::string& text, size_t begin, size_t end)
{
    long integerDigits = 0;
    long leadingFractionZeros = 0;
    bool seenPoint = false;
    bool seenSignificant = false;
    size_t k = begin;
    for (; k < end && text[k] != 'e' && text[k] != 'E'; ++k) {
        if (text[k] == '.') {
            seenPoint = true;
        } else if (!seenPoint) {
            if (seenSignificant || text[k] != '0') {
                seenSignificant = true;
                ++integerDigits;
            }
        } else if (!seenSignificant) {
            if (text[k] == '0')
                ++leadingFractionZeros;
            else
                seenSignificant = true;
        }
    }
    long exponent = 0;
    if (k < end) {
        ++k;
        const bool negative = k < end && text[k] == '-';
        if (k < end && (text[k] == '-' || text[k] == '+'))
            ++k;
        for (; k < end && IsDigit(text[k]); ++k)
            exponent = std::min(exponent * 10 + (text[k] - '0'), 100000L);
        if (negative)
            exponent = -exponent;
    }
    const long significand = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);
    return std::max(-200000L, std::min(200000L, significand + exponent));
}

// Rewrites, outside strings, every number whose significand digits are all zeros and which has
// a fraction or an exponent ("0e99", "-0.000000000000000000000", "0.0E+5") into the canonical
// zero of its sign, padded with blanks ("0.0 ", "-0.0 ..."), keeping every byte where it was.
// A number run straight into more number characters ("0e9e49") is not JSON anyway: it becomes a
// bare "0" and blanks, so that no new number can form from the pieces.
void NeutraliseZeroExponents(std::string& text)
{
    auto continuesNumber = [&](size_t at) {
        return at < text.size() && (IsDigit(text[at]) || text[at] == '.' || text[at] == 'e' ||
                                     text[at] == 'E' || text[at] == '+' || text[at] == '-');
    };
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
            continue;
        }
        if (c != '-' && !IsDigit(c))
            continue;
        const size_t digitsStart = c == '-' ? i + 1 : i;
        size_t j = digitsStart;
        bool digits = false;
        bool allZero = true;
        bool fraction = false;
        while (j < text.size() && (IsDigit(text[j]) || (text[j] == '.' && !fraction))) {
            if (text[j] == '.') {
                fraction = true;
            } else {
                digits = true;
                allZero = allZero && text[j] == '0';
            }
            ++j;
        }
        bool exponent = false;
        if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
            size_t end = j + 1;
            if (end < text.size() && (text[end] == '+' || text[end] == '-'))
                ++end;
            const size_t exponentDigits = end;
            while (end < text.size() && IsDigit(text[end]))
                ++end;
            exponent = end > exponentDigits;
            if (exponent)
                j = end;
        }
        // The library rounds its 64-bit significand up past its largest value (to zero) when the
        // significant digits begin with 2^64 - 1 and go on with more: the digits after those
        // twenty read as zeros, far below a double's precision.
        const std::string_view limit = "18446744073709551615";
        size_t matched = 0;
        for (size_t k = digitsStart; k < j && text[k] != 'e' && text[k] != 'E'; ++k) {
            if (!IsDigit(text[k]) || (matched == 0 && text[k] == '0'))
                continue;
            if (matched < limit.size()) {
                if (text[k] != limit[matched])
                    break;
                ++matched;
            } else {
                text[k] = '0';
            }
        }
        // A value outside a double's range (a long significand with an exponent such as e-366
        // or e277) sends the library's exact conversion past the ends of its table of powers of
        // ten. Below the range it is zero to a double anyway; above, it becomes a number the
        // library itself reports as too big.
        const long magnitude = digits && !allZero ? DecimalMagnitude(text, digitsStart, j) : 0;
        if (magnitude < -300)
            allZero = true;
        const std::string_view tooBig = "1e999";
        if (magnitude > 308 && digitsStart + tooBig.size() <= j) {
            text.replace(digitsStart, tooBig.size(), tooBig);
            for (size_t k = digitsStart + tooBig.size(); k < j; ++k)
                text[k] = ' ';
        }
        if (digits && allZero && (fraction || exponent)) {
            const std::string zero = continuesNumber(j) ? "0" : "0.0";
            if (digitsStart + zero.size() <= j) {
                text.replace(digitsStart, zero.size(), zero);
                for (size_t k = digitsStart + zero.size(); k < j; ++k)
                    text[k] = ' ';
            }
        }
        i = j - 1;
    }
}

// Writes every byte to the descriptor, retrying short writes and interruptions.
bool WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    out.clear();
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        out.append(chunk, got);
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool WriteDurableFile(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

bool SyncFolderOf(const std::string& path)
{
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes)
{
    const std::string temporary = path + ".tmp";
    // The new content must be on the disk before the rename makes it the file: otherwise a power
    // loss right after the rename can leave an empty file where the old one was.
    bool ok = WriteDurableFile(temporary, bytes);

    std::error_code error;
    if (ok) {
        std::filesystem::rename(temporary, path, error);
        ok = !error;
    }
    if (!ok) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    // The rename itself lives in the folder; flushing it makes the replacement last.
    SyncFolderOf(path);
    return true;
}

void ParseJsonText(rapidjson::Document& document, std::string text)
{
    NeutraliseZeroExponents(text);
    document.Parse<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseIterativeFlag |
                   rapidjson::kParseValidateEncodingFlag>(text.data(), text.size());
}

}  // namespace ztengine
