// The collator behind CompareLocale, shared with the sort's key builder.
#pragma once

#include <unicode/ucol.h>

#include <memory>
#include <string>
#include <string_view>

#include "records/Encoding.h"

namespace quellor::collation {

// The "ja" collator at IDENTICAL strength; safe to use from several threads.
const UCollator* Collator();

// A reusable UTF-16 buffer that grows but never clears what it will overwrite.
class U16Buffer {
  public:
    char16_t* Reserve(std::size_t units);
    const char16_t* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    void SetSize(std::size_t size) { size_ = size; }

  private:
    std::unique_ptr<char16_t[]> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// The text as the collator sees it: decoded by its encoding and, when case
// is ignored, case-folded. scratch is a reusable work buffer.
void PrepareText(std::string_view text, bool ignoreCase, U16Buffer& out, U16Buffer& scratch,
                 Encoding encoding = Encoding::Cp932);

// Three-way comparison of two prepared texts: -1, 0 or +1.
int ComparePrepared(const U16Buffer& a, const U16Buffer& b);

}  // namespace quellor::collation
