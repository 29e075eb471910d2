#include "codec/minijson_parser.h"

#include <cstdint>
#include <cstring>

#include "codec/number_scan.h"
#include "codec/string_scan.h"

namespace {

constexpr unsigned char array_open = '[';
constexpr unsigned char object_open = '{';
constexpr unsigned char record_separator = 0x1E;

bool is_valid_mode(uint32_t mode) {
  return mode == MINIJSON_MODE_VALUE || mode == MINIJSON_MODE_NAME || mode == MINIJSON_MODE_COLON ||
         mode == MINIJSON_MODE_AFTER_VALUE;
}

size_t distance(const char* from, const char* to) {
  return static_cast<size_t>(reinterpret_cast<uintptr_t>(to) - reinterpret_cast<uintptr_t>(from));
}

// One call of minijson_parse. The scanning state lives in locals and goes
// back into the context when the call returns.
class parse_run {
 public:
  parse_run(const char* text, size_t length, const minijson_parser_t* request, minijson_parse_context_t* context,
            bool resumable)
      : text_(text),
        length_(length),
        callback_(request->callback),
        data_(request->data != nullptr ? request->data : &scratch_),
        callback_data_(request->data),
        report_(request->depth),
        line_mode_((request->flags & MINIJSON_PARSE_LINE) != 0),
        resumable_(resumable),
        context_(context),
        mode_(context->mode),
        depth_(context->depth),
        at_(context->position),
        flags_(context->flags) {}

  int run(size_t* length_out);

 private:
  int stop(int result, size_t offset, size_t* length_out) {
    save();
    *length_out = offset;
    return result;
  }
  void save() {
    context_->mode = mode_;
    context_->depth = depth_;
    context_->position = at_;
    context_->flags = flags_;
  }
  size_t line_end_length(size_t offset) const {
    if (offset >= length_) return 0;
    if (text_[offset] == '\n') return 1;
    if (text_[offset] != '\r') return 0;
    return offset + 1 < length_ && text_[offset + 1] == '\n' ? 2 : 1;
  }
  int report(int kind) {
    flags_ &= ~MINIJSON_KEY_SEEN;
    return callback_ != nullptr ? callback_(kind, callback_data_) : 0;
  }
  int value_kind() const { return (flags_ & MINIJSON_KEY_SEEN) != 0 ? MINIJSON_KIND_MEMBER : MINIJSON_KIND_ELEMENT; }

  int open_container(unsigned char bracket, size_t* length_out);
  int close_container(unsigned char bracket, size_t* length_out, bool* finished);
  int scan_string(size_t* length_out);
  int scan_scalar(size_t* length_out);
  int finish_scalar(bool is_name, size_t end);

  const char* text_;
  size_t length_;
  minijson_parse_callback callback_;
  minijson_parse_data_t scratch_{};
  minijson_parse_data_t* data_;
  minijson_parse_data_t* callback_data_;
  size_t report_;
  bool line_mode_;
  bool resumable_;
  minijson_parse_context_t* context_;
  uint32_t mode_;
  size_t depth_;
  size_t at_;
  uint32_t flags_;
};

int parse_run::open_container(unsigned char bracket, size_t* length_out) {
  if (mode_ != MINIJSON_MODE_VALUE) return stop(MINIJSON_ILLEGAL_FORMAT, at_, length_out);
  if (depth_ >= MINIJSON_MAX_DEPTH) return stop(MINIJSON_TOO_DEEP, at_, length_out);
  context_->stack[depth_++] = bracket;
  mode_ = bracket == object_open ? MINIJSON_MODE_NAME : MINIJSON_MODE_VALUE;
  if (depth_ == report_ + 1) {
    data_->type = bracket == object_open ? MINIJSON_OBJECT : MINIJSON_ARRAY;
    data_->value.text = text_ + at_;
    data_->length = at_;  // the opening offset until the close
    data_->count = 0;
    flags_ &= ~MINIJSON_ELEMENT_DONE;
  }
  ++at_;
  return 0;
}

int parse_run::close_container(unsigned char bracket, size_t* length_out, bool* finished) {
  if (depth_ == 0) return stop(MINIJSON_ILLEGAL_FORMAT, at_, length_out);
  const unsigned char open = context_->stack[depth_ - 1];
  const bool closes_array = bracket == ']';
  const bool allowed = closes_array ? open == array_open && (mode_ == MINIJSON_MODE_VALUE ||
                                                               mode_ == MINIJSON_MODE_AFTER_VALUE)
                                    : open == object_open && (mode_ == MINIJSON_MODE_NAME ||
                                                                mode_ == MINIJSON_MODE_AFTER_VALUE);
  if (!allowed) return stop(MINIJSON_ILLEGAL_FORMAT, at_, length_out);
  --depth_;
  int result = 0;
  if (depth_ == report_) {
    // Commas counted the elements before them; the last one counts if it
    // is there (a trailing comma adds none).
    if ((flags_ & MINIJSON_ELEMENT_DONE) != 0) data_->count += 1;
    data_->length = at_ - data_->length + 1;
    result = report(value_kind());
  }
  flags_ |= MINIJSON_ELEMENT_DONE;
  ++at_;
  if (depth_ == 0) {
    mode_ = MINIJSON_MODE_AFTER_VALUE;
    if (result == 0 && line_mode_) at_ += line_end_length(at_);
    *finished = true;
    return stop(result, at_, length_out);
  }
  mode_ = MINIJSON_MODE_AFTER_VALUE;
  if (result != 0) return stop(result, at_, length_out);
  return 0;
}

int parse_run::finish_scalar(bool is_name, size_t end) {
  at_ = end;
  if (depth_ == report_) {
    if (is_name) {
      flags_ |= MINIJSON_KEY_SEEN | MINIJSON_ELEMENT_DONE;
      mode_ = MINIJSON_MODE_COLON;
      return 0;
    }
    const int result = report(value_kind());
    flags_ |= MINIJSON_ELEMENT_DONE;
    mode_ = MINIJSON_MODE_AFTER_VALUE;
    return result;
  }
  flags_ |= MINIJSON_ELEMENT_DONE;
  mode_ = is_name ? MINIJSON_MODE_COLON : MINIJSON_MODE_AFTER_VALUE;
  return 0;
}

// Goes on with a string whose opening quote is behind at_ (flag bit 0 set).
int parse_run::scan_string(size_t* length_out) {
  const bool is_name = mode_ == MINIJSON_MODE_NAME;
  const bool reported = depth_ == report_;
  const int error = is_name ? MINIJSON_WRONG_KEY : MINIJSON_WRONG_VALUE;
  const char* start = is_name ? data_->key : data_->value.text;
  size_t decoded_so_far = is_name ? data_->key_decoded_length : data_->count;
  size_t saved = reported ? distance(start, text_ + at_) - decoded_so_far : 0;
  size_t at = at_;
  switch (minijson_scan_string(text_, length_, at, saved)) {
    case string_scan_result::complete:
      break;
    case string_scan_result::more:
      if (!resumable_) return stop(error, length_, length_out);
      at_ = at;
      if (reported) {
        const size_t decoded = distance(start, text_ + at) - saved;
        if (is_name) data_->key_decoded_length = decoded;
        else data_->count = decoded;
      }
      return stop(MINIJSON_UNFINISHED, at_, length_out);
    case string_scan_result::bad:
      return stop(error, at, length_out);
  }
  flags_ &= ~MINIJSON_IN_STRING;
  if (reported) {
    const size_t raw = distance(start, text_ + at) - 1;
    if (is_name) {
      data_->key_length = raw;
      data_->key_decoded_length = raw - saved;
    } else {
      data_->length = raw;
      data_->count = raw - saved;
    }
  }
  const int result = finish_scalar(is_name, at);
  if (result != 0) return stop(result, at_, length_out);
  return 0;
}

// A byte that starts neither a container nor punctuation, in mode 0x3A or 0x1A.
int parse_run::scan_scalar(size_t* length_out) {
  const unsigned char c = static_cast<unsigned char>(text_[at_]);
  const bool is_name = mode_ == MINIJSON_MODE_NAME;
  const bool reported = depth_ == report_;
  if (c == '"') {
    if (reported) {
      if (is_name) {
        data_->key = text_ + at_ + 1;
        data_->key_decoded_length = 0;
      } else {
        data_->type = MINIJSON_STRING;
        data_->value.text = text_ + at_ + 1;
        data_->count = 0;
      }
    }
    flags_ |= MINIJSON_IN_STRING;
    ++at_;
    return scan_string(length_out);
  }
  if (is_name) return stop(MINIJSON_WRONG_KEY, at_, length_out);

  if (c == 't' || c == 'f' || c == 'n') {
    const char* word = c == 't' ? "true" : c == 'f' ? "false" : "null";
    const size_t size = c == 'f' ? 5 : 4;
    const size_t left = length_ - at_;
    if (left >= size && std::memcmp(text_ + at_, word, size) == 0) {
      if (reported) {
        data_->type = MINIJSON_LITERAL;
        data_->value.integer = c == 't' ? 1 : c == 'f' ? 0 : -1;
        data_->length = size;
        data_->count = 0;
      }
      const int result = finish_scalar(false, at_ + size);
      return result != 0 ? stop(result, at_, length_out) : 0;
    }
    if (left < size && resumable_ && std::memcmp(text_ + at_, word, left) == 0)
      return stop(MINIJSON_UNFINISHED, at_, length_out);
    return stop(MINIJSON_WRONG_VALUE, at_, length_out);
  }

  number_token token;
  switch (minijson_scan_number(text_, length_, at_, resumable_, &token)) {
    case number_scan_result::number:
      break;
    case number_scan_result::more:
      return stop(MINIJSON_UNFINISHED, at_, length_out);
    case number_scan_result::overflow:
      // With a sign in front, the sign alone would be the number and the
      // digits after it are out of place.
      if (token.signed_token) return stop(MINIJSON_ILLEGAL_FORMAT, at_ + 1, length_out);
      return stop(MINIJSON_WRONG_VALUE, at_, length_out);
    case number_scan_result::not_a_number:
      return stop(MINIJSON_WRONG_VALUE, at_, length_out);
  }
  if (reported) {
    data_->type = token.type;
    if (token.type == MINIJSON_INTEGER) data_->value.integer = token.integer;
    else data_->value.real = token.real;
    data_->length = token.end - at_;
    data_->count = 0;
  }
  const int result = finish_scalar(false, token.end);
  return result != 0 ? stop(result, at_, length_out) : 0;
}

int parse_run::run(size_t* length_out) {
  if ((flags_ & MINIJSON_IN_STRING) != 0) {
    const int result = scan_string(length_out);
    if (result != 0 || (flags_ & MINIJSON_IN_STRING) != 0) return result;
  }
  while (at_ < length_) {
    const unsigned char c = static_cast<unsigned char>(text_[at_]);
    switch (c) {
      case ' ':
      case '\t':
        ++at_;
        continue;
      case '\n':
      case '\r':
        if (!line_mode_) {
          ++at_;
          continue;
        }
        if (depth_ > 0) return stop(MINIJSON_ILLEGAL_FORMAT, at_, length_out);
        at_ += line_end_length(at_);
        mode_ = MINIJSON_MODE_AFTER_VALUE;
        return stop(MINIJSON_OK, at_, length_out);
      case '[':
      case '{': {
        const int result = open_container(c, length_out);
        if (result != 0) return result;
        continue;
      }
      case ']':
      case '}': {
        bool finished = false;
        const int result = close_container(c, length_out, &finished);
        if (result != 0 || finished) return result;
        continue;
      }
      case ',':
        if (mode_ != MINIJSON_MODE_AFTER_VALUE || depth_ == 0) return stop(MINIJSON_ILLEGAL_FORMAT, at_, length_out);
        if (depth_ == report_ + 1) {
          data_->count += 1;
          flags_ &= ~MINIJSON_ELEMENT_DONE;
        }
        mode_ = context_->stack[depth_ - 1] ^ 0x61u;
        ++at_;
        continue;
      case ':':
        if (mode_ != MINIJSON_MODE_COLON) return stop(MINIJSON_ILLEGAL_FORMAT, at_, length_out);
        mode_ = MINIJSON_MODE_VALUE;
        ++at_;
        continue;
      default: {
        if (mode_ != MINIJSON_MODE_VALUE && mode_ != MINIJSON_MODE_NAME)
          return stop(MINIJSON_ILLEGAL_FORMAT, at_, length_out);
        const size_t before = at_;
        const int result = scan_scalar(length_out);
        if (result != 0) return result;
        if (at_ == before) return stop(MINIJSON_WRONG_VALUE, at_, length_out);  // never loop in place
        continue;
      }
    }
  }
  if (mode_ == MINIJSON_MODE_AFTER_VALUE && depth_ == 0) return stop(MINIJSON_OK, at_, length_out);
  return stop(MINIJSON_UNFINISHED, at_, length_out);
}

}  // namespace

int minijson_parse(const char* buffer, size_t* length, const minijson_parser_t* request) {
  if (length == nullptr || request == nullptr) return MINIJSON_WRONG_CALL;
  minijson_parse_context_t temporary;
  minijson_parse_context_t* context = request->context != nullptr ? request->context : &temporary;
  if (request->context == nullptr || context->mode == MINIJSON_MODE_FRESH) {
    context->mode = MINIJSON_MODE_VALUE;
    context->depth = 0;
    context->position = 0;
    context->flags = 0;
  }
  if (context->position > *length) return MINIJSON_WRONG_CALL;
  if (*length == 0) return MINIJSON_OK;
  if (buffer == nullptr) return MINIJSON_WRONG_CALL;
  if (!is_valid_mode(context->mode) || context->depth > MINIJSON_MAX_DEPTH) return MINIJSON_WRONG_CALL;

  if ((request->flags & MINIJSON_PARSE_SEPARATOR) != 0 && (context->flags & MINIJSON_SEPARATOR_SEEN) == 0) {
    const size_t from = context->position;
    const void* found = std::memchr(buffer + from, record_separator, *length - from);
    if (found == nullptr) {
      context->position = *length;
      return MINIJSON_UNFINISHED;
    }
    context->position = distance(buffer, static_cast<const char*>(found)) + 1;
    context->flags |= MINIJSON_SEPARATOR_SEEN;
  }

  parse_run run(buffer, *length, request, context, request->context != nullptr);
  return run.run(length);
}
