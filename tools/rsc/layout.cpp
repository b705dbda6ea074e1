#include "layout.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "art.h"
#include "ui/page_codec.h"

namespace rsc {

// ---------------------------------------------------------------- parsing

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr size_t kMaxNameLength = 31;

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits a line into words and quoted strings (\" and \\ escape); what
// follows an unquoted '#' is the comment.
bool Tokenise(const std::string& line, std::vector<Token>* tokens, std::string* comment,
              std::string* error) {
  size_t i = 0;
  while (i < line.size()) {
    const char ch = line[i];
    if (ch == ' ' || ch == '\t' || ch == '\r') {
      ++i;
    } else if (ch == '#') {
      size_t start = i + 1;
      while (start < line.size() && line[start] == ' ') ++start;
      *comment = line.substr(start);
      return true;
    } else if (ch == '"') {
      Token t;
      t.quoted = true;
      ++i;
      for (;;) {
        if (i >= line.size()) {
          *error = "string without its closing quote";
          return false;
        }
        if (line[i] == '\\' && i + 1 < line.size()) {
          t.text += line[i + 1];
          i += 2;
        } else if (line[i] == '"') {
          ++i;
          break;
        } else {
          t.text += line[i++];
        }
      }
      tokens->push_back(t);
    } else {
      Token t;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
             line[i] != '#' && line[i] != '"') {
        t.text += line[i++];
      }
      tokens->push_back(t);
    }
  }
  return true;
}

bool ParseInt(const std::string& word, long lo, long hi, long* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(word.c_str(), &end, 0);
  if (*end != 0 || v < lo || v > hi) return false;
  *out = v;
  return true;
}

// A record colour: a palette name, rgb:RRGGBB, or a Colour16 written 0xNNNN.
bool ParseRecordColour(const std::string& word, uint16_t* out) {
  Rgb rgb;
  if (ParseColour(word, &rgb)) {
    *out = ToColour16(rgb);
    return true;
  }
  long v;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X') &&
      ParseInt(word, 0, 0xFFFF, &v)) {
    *out = static_cast<uint16_t>(v);
    return true;
  }
  return false;
}

bool ParseFlags(const std::string& word, uint16_t* out) {
  if (word == "-") {
    *out = 0;
    return true;
  }
  long v;
  if (ParseInt(word, 0, 0xFFFF, &v)) {
    *out = static_cast<uint16_t>(v);
    return true;
  }
  uint16_t flags = 0;
  std::stringstream parts(word);
  std::string part;
  while (std::getline(parts, part, '+')) {
    if (part == "centre") {
      flags |= trelvan::kTextCentred;
    } else if (part == "clear") {
      flags |= trelvan::kTextNoBackground;
    } else {
      return false;
    }
  }
  *out = flags;
  return true;
}

// A capital letter, then letters and digits: it can follow a prefix in a
// C++ name.
bool IsName(const std::string& s) {
  if (s.empty() || s[0] < 'A' || s[0] > 'Z') return false;
  for (char c : s) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

struct Parser {
  Layout* out = nullptr;
  std::string* error = nullptr;
  std::string fileName;
  int line = 0;
  std::vector<int> autoWidth, autoHeight;  // image records sized from their picture
  std::map<std::string, int> roleLines;    // role name: the line that took it

  bool Fail(const std::string& message) {
    *error = fileName + ":" + std::to_string(line) + ": " + message;
    return false;
  }

  // A record's role: given, a name, and not yet taken in this page.
  bool TakeRole(const std::string& role) {
    if (role.empty()) return Fail("the record needs role=NAME, its name in the page's role enum");
    if (!IsName(role) || role == "ImageCount" || role == "TextCount") {
      return Fail("role '" + role + "' is no name: a capital letter, then letters and digits, " +
                  "not ImageCount or TextCount");
    }
    const auto taken = roleLines.find(role);
    if (taken != roleLines.end()) {
      return Fail("role " + role + " is taken already on line " + std::to_string(taken->second));
    }
    roleLines[role] = line;
    return true;
  }

  bool Number(const std::vector<Token>& t, size_t i, const char* what, long lo, long hi,
              long* v) {
    if (i >= t.size() || t[i].quoted || !ParseInt(t[i].text, lo, hi, v)) {
      return Fail(std::string(what) + " must be a number from " + std::to_string(lo) + " to " +
                  std::to_string(hi) + (i < t.size() ? ", not '" + t[i].text + "'" : ", missing"));
    }
    return true;
  }

  bool Box(const std::vector<Token>& t, size_t i, uint16_t* x, uint16_t* y, uint16_t* w,
           uint16_t* h, bool allowAuto, bool* autoW, bool* autoH) {
    long v[4];
    const char* names[4] = {"x", "y", "width", "height"};
    for (int k = 0; k < 4; ++k) {
      if (allowAuto && k >= 2 && i + k < t.size() && t[i + k].text == "*" && !t[i + k].quoted) {
        (k == 2 ? *autoW : *autoH) = true;
        v[k] = 0;
        continue;
      }
      if (!Number(t, i + k, names[k], 0, k % 2 == 0 ? kScreenWidth : kScreenHeight, &v[k])) {
        return false;
      }
    }
    if (v[0] + v[2] > kScreenWidth || v[1] + v[3] > kScreenHeight) {
      return Fail("box reaches outside the 800 x 600 screen");
    }
    *x = static_cast<uint16_t>(v[0]);
    *y = static_cast<uint16_t>(v[1]);
    *w = static_cast<uint16_t>(v[2]);
    *h = static_cast<uint16_t>(v[3]);
    return true;
  }

  // role=NAME: a name that can follow the page's prefix in a C++ name
  bool Role(const Token& t, std::string* role) {
    if (t.quoted || t.text.compare(0, 5, "role=") != 0) return false;
    *role = t.text.substr(5);
    return true;
  }

  // image X Y W H SOURCE INDEX [hidden] [role=NAME]
  bool Image(const std::vector<Token>& t, size_t i, ImageRecord* r, bool* autoW, bool* autoH) {
    trelvan::ImageControl& c = r->control;
    if (!Box(t, i, &c.x, &c.y, &c.w, &c.h, true, autoW, autoH)) return false;
    if (i + 4 >= t.size()) return Fail("image needs a source: page, common or buttons");
    const std::string& src = t[i + 4].text;
    if (src == "page") {
      c.source = trelvan::kSourcePageFile;
    } else if (src == "common") {
      c.source = trelvan::kSourceCommon;
    } else if (src == "buttons") {
      c.source = trelvan::kSourceButtons;
    } else {
      return Fail("unknown picture source '" + src + "' (page, common or buttons)");
    }
    if ((*autoW || *autoH) && c.source != trelvan::kSourcePageFile) {
      return Fail("'*' sizes only pictures of this file");
    }
    long v;
    if (!Number(t, i + 5, "picture index", 0, 0xFFFF, &v)) return false;
    c.pictureIndex = static_cast<uint16_t>(v);
    for (size_t k = i + 6; k < t.size(); ++k) {
      if (t[k].text == "hidden" && !t[k].quoted) {
        r->hidden = true;
      } else if (!Role(t[k], &r->role)) {
        return Fail("unexpected '" + t[k].text + "' after the image record");
      }
    }
    r->line = line;
    return true;
  }

  // text X Y W H FONT FLAGS COLOUR BACK [each] ["sample"] [hidden] [role=NAME]
  bool Text(const std::vector<Token>& t, size_t i, TextRecord* r) {
    trelvan::TextControl& c = r->control;
    bool unused = false;
    if (!Box(t, i, &c.x, &c.y, &c.w, &c.h, false, &unused, &unused)) return false;
    long font;
    if (!Number(t, i + 4, "font", 0, 2, &font)) return false;
    c.font = static_cast<uint8_t>(font);
    if (i + 5 >= t.size() || !ParseFlags(t[i + 5].text, &c.flags)) {
      return Fail("flags must be -, centre, clear, centre+clear or a number");
    }
    if (i + 6 >= t.size() || !ParseRecordColour(t[i + 6].text, &c.textColour)) {
      return Fail("unknown text colour" + (i + 6 < t.size() ? " '" + t[i + 6].text + "'" : ""));
    }
    if (i + 7 >= t.size() || !ParseRecordColour(t[i + 7].text, &c.backColour)) {
      return Fail("unknown back colour" + (i + 7 < t.size() ? " '" + t[i + 7].text + "'" : ""));
    }
    for (size_t k = i + 8; k < t.size(); ++k) {
      if (t[k].quoted) {
        r->sample = t[k].text;
      } else if (t[k].text == "each") {
        r->each = true;
      } else if (t[k].text == "hidden") {
        r->hidden = true;
      } else if (!Role(t[k], &r->role)) {
        return Fail("unexpected '" + t[k].text + "' after the text record");
      }
    }
    r->line = line;
    return true;
  }

  bool PictureLine(const std::vector<Token>& t, const std::string& comment) {
    long index, w, h;
    if (!Number(t, 1, "picture index", 0, 0xFFFF, &index)) return false;
    if (index != static_cast<long>(out->pictures.size())) {
      return Fail("picture " + std::to_string(index) + " out of order: expected picture " +
                  std::to_string(out->pictures.size()));
    }
    if (!Number(t, 2, "picture width", 1, kScreenWidth, &w)) return false;
    if (!Number(t, 3, "picture height", 1, kScreenHeight, &h)) return false;
    if (t.size() < 5 || t[4].quoted) return Fail("picture needs a style");
    PictureDefinition picture;
    picture.w = static_cast<int>(w);
    picture.h = static_cast<int>(h);
    picture.style = t[4].text;
    for (size_t k = 5; k < t.size(); ++k) {
      const size_t eq = t[k].text.find('=');
      if (t[k].quoted) {
        picture.captions.push_back(t[k].text);
      } else if (eq != std::string::npos) {
        const std::string key = t[k].text.substr(0, eq);
        std::string value = t[k].text.substr(eq + 1);
        // key="quoted value" arrives as key= followed by a string
        if (value.empty() && k + 1 < t.size() && t[k + 1].quoted) value = t[++k].text;
        picture.options[key] = value;
      } else {
        picture.words.push_back(t[k].text);
      }
    }
    Picture p;
    std::string why;
    if (!PaintPicture(picture, &p.canvas, &why)) return Fail(why);
    p.meaning = comment;
    p.line = line;
    out->pictures.push_back(std::move(p));
    return true;
  }

  bool Line(const std::string& text) {
    std::vector<Token> t;
    std::string comment, why;
    if (!Tokenise(text, &t, &comment, &why)) return Fail(why);
    if (t.empty()) return true;
    if (t[0].quoted) return Fail("a line starts with a keyword, not a string");
    const std::string& key = t[0].text;
    if (key == "page" || key == "collection") {
      if (!out->name.empty()) return Fail("the file is already named '" + out->name + "'");
      if (t.size() < 2 || !t[1].quoted) return Fail(key + " needs one quoted name");
      // The name is a field of the file's header, which a zero byte would
      // end and the header's end mark would cut short.
      const std::string& name = t[1].text;
      const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
      });
      if (name.empty() || name.size() > kMaxNameLength || control) {
        return Fail("a name has 1 to 31 characters, none of them a control character");
      }
      out->name = t[1].text;
      out->type = key == "page" ? "Page" : "Pictures";
      if (key == "collection") {
        return t.size() == 2 || Fail("a collection has no controls to name: only its name follows");
      }
      if (t.size() != 3 || t[2].quoted || t[2].text.compare(0, 7, "prefix=") != 0 ||
          !IsName(t[2].text.substr(7))) {
        return Fail("page needs its name and prefix=NAME, the prefix of its role names "
                    "(a capital letter, then letters and digits)");
      }
      out->prefix = t[2].text.substr(7);
      return true;
    }
    if (out->name.empty()) return Fail("the file must begin with page \"NAME\" or collection \"NAME\"");
    if (key == "version") {
      if (t.size() != 2 || !t[1].quoted || t[1].text.size() > 6) {
        return Fail("version needs one quoted text of at most 6 characters");
      }
      out->version = t[1].text;
      return true;
    }
    if (key == "picture") return PictureLine(t, comment);
    if (key == "image" || key == "text") {
      if (out->type != "Page") return Fail("a collection holds pictures only");
    }
    if (key == "image") {
      ImageRecord r;
      bool aw = false, ah = false;
      if (!Image(t, 1, &r, &aw, &ah) || !TakeRole(r.role)) return false;
      r.comment = comment;
      out->images.push_back(r);
      if (aw) autoWidth.push_back(static_cast<int>(out->images.size() - 1));
      if (ah) autoHeight.push_back(static_cast<int>(out->images.size() - 1));
      return true;
    }
    if (key == "text") {
      TextRecord r;
      if (!Text(t, 1, &r) || !TakeRole(r.role)) return false;
      r.comment = comment;
      out->texts.push_back(r);
      return true;
    }
    if (key == "sample") {
      Sample s;
      long v[4];
      const char* names[4] = {"sample count", "columns", "x step", "y step"};
      for (int k = 0; k < 4; ++k) {
        if (!Number(t, 1 + k, names[k], k < 2 ? 1 : -800, 800, &v[k])) return false;
      }
      s.count = static_cast<int>(v[0]);
      s.columns = static_cast<int>(v[1]);
      s.dx = static_cast<int>(v[2]);
      s.dy = static_cast<int>(v[3]);
      if (t.size() < 6) return Fail("sample needs an image or text record");
      bool aw = false, ah = false;
      if (t[5].text == "image") {
        if (!Image(t, 6, &s.image, &aw, &ah)) return false;
        if (aw || ah) return Fail("a sample image needs its size");
      } else if (t[5].text == "text") {
        s.isImage = false;
        if (!Text(t, 6, &s.text)) return false;
      } else {
        return Fail("sample needs an image or text record, not '" + t[5].text + "'");
      }
      if (!s.image.role.empty() || !s.text.role.empty()) {
        return Fail("a sample is no record of the page file and has no role");
      }
      out->samples.push_back(s);
      return true;
    }
    return Fail("unknown keyword '" + key + "'");
  }

  // Checks that need the whole file: picture references and '*' sizes.
  bool Finish() {
    if (out->name.empty()) {
      line = 0;
      return Fail("the file names no page or collection");
    }
    auto check = [&](ImageRecord& r) {
      const trelvan::ImageControl& c = r.control;
      if (c.source == trelvan::kSourcePageFile && c.pictureIndex >= out->pictures.size()) {
        line = r.line;
        return Fail("picture " + std::to_string(c.pictureIndex) + " is not in this file (it has " +
                    std::to_string(out->pictures.size()) + ")");
      }
      return true;
    };
    for (ImageRecord& r : out->images) {
      if (!check(r)) return false;
    }
    for (Sample& s : out->samples) {
      if (s.isImage && !check(s.image)) return false;
    }
    for (int k : autoWidth) {
      trelvan::ImageControl& c = out->images[k].control;
      c.w = static_cast<uint16_t>(out->pictures[c.pictureIndex].canvas.w);
    }
    for (int k : autoHeight) {
      trelvan::ImageControl& c = out->images[k].control;
      c.h = static_cast<uint16_t>(out->pictures[c.pictureIndex].canvas.h);
    }
    for (ImageRecord& r : out->images) {
      const trelvan::ImageControl& c = r.control;
      if (c.source != trelvan::kSourcePageFile) continue;
      const Canvas& p = out->pictures[c.pictureIndex].canvas;
      if (c.x + p.w > kScreenWidth || c.y + p.h > kScreenHeight || c.x + c.w > kScreenWidth ||
          c.y + c.h > kScreenHeight) {
        line = r.line;
        return Fail("picture " + std::to_string(c.pictureIndex) +
                    " drawn here reaches outside the screen");
      }
    }
    return true;
  }
};

}  // namespace

bool ParseLayout(const std::string& text, const std::string& fileName, Layout* out,
                 std::string* error) {
  *out = Layout();
  Parser p;
  p.out = out;
  p.error = error;
  p.fileName = fileName;
  std::stringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    ++p.line;
    if (!p.Line(line)) return false;
  }
  return p.Finish();
}

bool ReadLayoutFile(const std::string& path, Layout* out, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  std::stringstream s;
  s << in.rdbuf();
  return ParseLayout(s.str(), path, out, error);
}

// ---------------------------------------------------------------- output

namespace {

void PutField(std::vector<uint8_t>& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  b.push_back(0);
}

// A layout comment without the record number it starts with.
std::string RoleComment(const std::string& comment) {
  size_t i = 0;
  while (i < comment.size() && std::isdigit(static_cast<unsigned char>(comment[i]))) ++i;
  if (i == 0 || (i < comment.size() && comment[i] != ' ')) i = 0;
  while (i < comment.size() && comment[i] == ' ') ++i;
  return comment.substr(i);
}

// enum PrefixKind : int { kPrefixRole = k, ..., kPrefixKindCount = n };
void PutEnum(std::string& out, const std::string& prefix, const std::string& kind,
             const std::vector<std::pair<std::string, std::string>>& roles) {
  std::vector<std::string> names;
  size_t width = 0;
  for (size_t k = 0; k < roles.size(); ++k) {
    names.push_back("  k" + prefix + roles[k].first + " = " + std::to_string(k) + ",");
    width = std::max(width, names.back().size());
  }
  out += "enum " + prefix + kind + " : int {\n";
  for (size_t k = 0; k < roles.size(); ++k) {
    const std::string comment = RoleComment(roles[k].second);
    out += names[k];
    if (!comment.empty()) out += std::string(width - names[k].size() + 2, ' ') + "// " + comment;
    out += "\n";
  }
  out += "  k" + prefix + kind + "Count = " + std::to_string(roles.size()) + ",\n};\n";
}

}  // namespace

std::vector<uint8_t> BuildResourceFile(const Layout& layout) {
  std::vector<uint8_t> file;
  // storage file header: 0x02, name, field 1, type, version, field 4, 0x03
  file.push_back(0x02);
  PutField(file, layout.name);
  PutField(file, "");
  PutField(file, layout.type);
  PutField(file, layout.version);
  PutField(file, "");
  file.push_back(0x03);

  std::vector<std::vector<uint16_t>> pixels;
  std::vector<trelvan::PagePicture> pictures;
  for (const Picture& p : layout.pictures) {
    pixels.emplace_back();
    for (const Rgb& c : p.canvas.px) pixels.back().push_back(ToColour16(c));
  }
  for (size_t k = 0; k < layout.pictures.size(); ++k) {
    const Canvas& c = layout.pictures[k].canvas;
    pictures.push_back({static_cast<uint16_t>(c.w), static_cast<uint16_t>(c.h), pixels[k].data()});
  }
  std::vector<trelvan::ImageControl> images;
  std::vector<trelvan::TextControl> texts;
  for (const ImageRecord& r : layout.images) images.push_back(r.control);
  for (const TextRecord& r : layout.texts) texts.push_back(r.control);
  const trelvan::PageContent content{pictures.data(), static_cast<uint16_t>(pictures.size()),
                                     images.data(),   static_cast<uint16_t>(images.size()),
                                     texts.data(),    static_cast<uint16_t>(texts.size())};
  const size_t header = file.size();
  file.resize(header + trelvan::PageDataSize(content));
  trelvan::EncodePageData(content, file.data() + header, static_cast<uint32_t>(file.size() - header));
  return file;
}

bool BuildRoleHeader(const Layout& layout, const std::string& source, std::string* out,
                     std::string* error) {
  if (layout.type != "Page") {
    *error = source + ": \"" + layout.name + "\" is a collection: it has no controls to name";
    return false;
  }
  std::vector<std::pair<std::string, std::string>> images, texts;
  for (const ImageRecord& r : layout.images) images.emplace_back(r.role, r.comment);
  for (const TextRecord& r : layout.texts) texts.emplace_back(r.role, r.comment);
  std::string& h = *out;
  h = "// The controls of the page file \"" + layout.name + "\" by role: image-control\n"
      "// record k and text-control record k of its tables.\n"
      "// Generated from " + source + " by trelvan-rsc --header; do not edit.\n"
      "// cmake --build build --target roles writes it again.\n"
      "#pragma once\n\nnamespace trelvan {\n\n";
  PutEnum(h, layout.prefix, "Image", images);
  h += "\n";
  PutEnum(h, layout.prefix, "Text", texts);
  h += "\n}  // namespace trelvan\n";
  return true;
}

}  // namespace rsc
