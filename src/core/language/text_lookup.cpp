#include "language/text_lookup.h"

#include "shell/codec.h"
#include "shell/context.h"
#include "shell/file_utils.h"

namespace quillo {
namespace {

struct DefaultText {
  const char* key;
  const char* text;
};

// The program's built-in message texts.
constexpr DefaultText kDefaults[] = {
    {"svL002", "Please select more lines min:"},
    {"svL003", "Please select before a valide Book !"},
    {"svL004", "Do you want to delete ?"},
    {"svL005", "Do you want to delete all ?"},
    {"svL006", "Do you want to Save ?"},
    {"svL007", "Finish"},
    {"svL008", "Please select more Items !"},
    {"svL009", "New version detected !"},
    {"svL010", "OK, reset and continue .."},
    {"svL011", "Would you like to edit the practice ?"},
    {"svL051", "User existe !"},
    {"svL052", "User created !"},
    {"svL053", "Wrong username or password !"},
    {"svL054", "Not allowed !"},
    {"svL055", "Changed !"},
    {"svL056", "Not deleted !"},
    {"svL057", "Saved !"},
    {"svL058", "Created !"},
    {"svL059", "Profile"},
    {"svL060", "Not saved !"},
    {"svL071", "Logout stamp !"},
    {"svL072", "Restore the predetermined values\xA0!"},
    {"svL073", "Password saved !"},
    {"svL074", "Save to default"},
    {"svL075", "Restore your old saved values !"},
    {"svL077", "Pls. generate a new file !"},
    {"svL101", "There is no query saved for practice !"},
    {"svL102", "Practice is corrupt, is now deleted !"},
    {"svL103", "Close program and try again !"},
    {"svL104", "Maximum 15 profiles allowed !"},
    {"svL201", "Still"},
    {"svL202", "to make"},
    {"svL203", "Finished"},
    {"svL231", "Generated:"},
    {"svL232", "Project Name:"},
    {"svL233", "Total Questions:"},
    {"svL301", "New.."},
    {"svL302", "Revise"},
    {"svL303", "Improve"},
    {"svL304", "Last Created"},
    {"svL305", "Fault"},
    {"svL306", "Question(s)"},
    {"svL501", "Points"},
    {"svL601", "Help letters, hidden [ ]"},
    {"svL602", "Show all letters masked [*******]"},
    {"svL603", "Show one letter [***a***]"},
    {"svL604", "Show some letters [*o**b**]"},
    {"svL605", "Show all letters except one [vo*able]"},
};

}  // namespace

bool TextLookup::RefreshLanguages() {
  languages_.clear();
  std::vector<std::string> files;
  ListFolder(languageDir_, "*.lng", files, true, true, false);
  for (const std::string& file : files) {
    std::string name = IniReadString(file, "INFOS", "LngName", "");
    if (!name.empty()) languages_.push_back({name, WithSlash(languageDir_) + FileNameOf(file)});
  }
  return !languages_.empty();
}

std::vector<std::string> TextLookup::LanguageNames() const {
  std::vector<std::string> names;
  for (const LanguageEntry& e : languages_) names.push_back(e.name);
  return names;
}

std::string TextLookup::LanguageFile(std::string_view name) const {
  for (const LanguageEntry& e : languages_) {
    if (EqualsNoCase1252(e.name, name)) return e.path;
  }
  return "";
}

std::string TextLookup::FindLanguage(std::string_view name) const {
  for (const LanguageEntry& e : languages_) {
    if (EqualsNoCase1252(e.name, name)) return e.name;
  }
  return "";
}

std::string TextLookup::Lookup(std::string_view defaultText, std::string_view section,
                               std::string_view key) const {
  return quillo::Lookup(defaultText, section, LanguageFile(active_), key);
}

std::string TextLookup::Message(std::string_view key) const {
  return Lookup(DefaultMessage(key), kMessageSection, key);
}

IniPairs TextLookup::WindowTexts(std::string_view section) const {
  std::string file = LanguageFile(active_);
  if (file.empty()) return {};
  return ReadWindowSection(file, section);
}

std::string Lookup(std::string_view defaultText, std::string_view section, std::string_view file,
                   std::string_view key) {
  if (file.empty()) return std::string(defaultText);
  std::string value = IniReadString(file, section, key, "");
  if (value.find('\xA6') != std::string::npos) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t cut; (cut = value.find('\xA6', start)) != std::string::npos;
         start = cut + 1) {
      pieces.push_back(value.substr(start, cut - start));
    }
    pieces.push_back(value.substr(start));
    std::string result;
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
      if (result.empty()) {
        result = pieces[i];
      } else {
        result += "\r\n" + pieces[i];
      }
    }
    return result + "\r\n" + pieces.back();
  }
  if (value.empty()) return "er_" + std::string(defaultText);
  return value;
}

IniPairs ReadWindowSection(std::string_view file, std::string_view section) {
  if (file.empty() || !FileExists(file)) return {};
  return IniFile(std::string(file)).ReadSectionValues(section);
}

bool TakesCaption(std::string_view componentName) {
  return componentName.size() >= 4 && componentName.substr(2, 2) == "Ca";
}

std::string DefaultMessage(std::string_view key) {
  for (const DefaultText& d : kDefaults) {
    if (EqualsNoCase1252(d.key, key)) return d.text;
  }
  return "";
}

std::string MessageText(const Context& ctx, std::string_view key) {
  return MessageText(ctx, key, DefaultMessage(key));
}

std::string MessageText(const Context& ctx, std::string_view key, std::string_view defaultText) {
  if (!ctx.lookup) return std::string(defaultText);
  return ctx.lookup->Lookup(defaultText, kMessageSection, key);
}

}  // namespace quillo
