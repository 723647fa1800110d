#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Reads typed pieces off the fuzzer's bytes, front to back.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    template <typename T> T take() {
        T value{};
        const std::size_t n = std::min(sizeof(T), m_size);
        std::memcpy(&value, m_data, n);
        m_data += n;
        m_size -= n;
        return value;
    }
    // The rest as UTF-8 text (bad bytes become U+FFFD).
    QString restAsText() {
        QString text = QString::fromUtf8(reinterpret_cast<const char*>(m_data), qsizetype(m_size));
        m_size = 0;
        return text;
    }
    // The rest as UTF-16 code units, unpaired surrogates and NUL included.
    QString restAsUtf16() {
        QString text(qsizetype(m_size / 2), Qt::Uninitialized);
        std::memcpy(text.data(), m_data, (m_size / 2) * 2);
        m_size = 0;
        return text;
    }
    std::size_t remaining() const { return m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
