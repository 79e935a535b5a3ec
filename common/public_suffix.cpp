#include "common/public_suffix.h"

#include <algorithm>
#include <iterator>

namespace tavc {
namespace {

// What a name of the list is, as bits: a public suffix ("name"), the parent of
// suffixes one label longer ("*.name"), or an exception to such a wildcard
// ("!name").
enum RuleKind : unsigned char { kName = 1, kWildcard = 2, kException = 4 };

struct Rule {
  const char* name;
  unsigned char kinds;
};

// kListVersion and kRules, in byte order of their names: generated into the build
// folder.
#include "public_suffix_rules.inc"

// Byte order of a rule's ASCII name against a host's suffix; a unit above ASCII
// sorts after every rule and so matches none.
int Compare(const char* in_l_rule, std::wstring_view in_l_suffix) {
  for (const wchar_t l_unit : in_l_suffix) {
    if (*in_l_rule == '\0') return -1;
    const unsigned long l_have = static_cast<unsigned char>(*in_l_rule);
    const unsigned long l_want = static_cast<unsigned long>(l_unit);
    if (l_have != l_want) return l_have < l_want ? -1 : 1;
    ++in_l_rule;
  }
  return *in_l_rule == '\0' ? 0 : 1;
}

unsigned KindsOf(std::wstring_view in_l_suffix) {
  const Rule* const l_end = std::end(kRules);
  const Rule* const l_rule = std::lower_bound(
      std::begin(kRules), l_end, in_l_suffix,
      [](const Rule& in_l_entry, std::wstring_view in_l_key) { return Compare(in_l_entry.name, in_l_key) < 0; });
  return l_rule != l_end && Compare(l_rule->name, in_l_suffix) == 0 ? l_rule->kinds : 0;
}

// The start of the label before in_l_start, which is the start of a label or one
// past the name's end.
std::size_t LabelBefore(std::wstring_view in_l_name, std::size_t in_l_start) {
  const std::size_t l_dot = in_l_start < 2 ? std::wstring_view::npos : in_l_name.rfind(L'.', in_l_start - 2);
  return l_dot == std::wstring_view::npos ? 0 : l_dot + 1;
}

}  // namespace

const char* PublicSuffixListVersion() { return kListVersion; }

std::size_t RegistrableDomainStart(std::wstring_view in_l_name) {
  // Every suffix of whole labels, the last label first: the longest matching rule
  // gives the public suffix, unless an exception matches, which always prevails.
  std::size_t l_suffix_labels = 1;  // the list's implicit rule "*"
  std::size_t l_start = LabelBefore(in_l_name, in_l_name.size() + 1);
  for (std::size_t l_labels = 1;; ++l_labels) {
    const unsigned l_kinds = KindsOf(in_l_name.substr(l_start));
    if ((l_kinds & kException) != 0) {
      l_suffix_labels = l_labels - 1;
      break;
    }
    if ((l_kinds & kName) != 0) l_suffix_labels = l_labels;
    if (l_start == 0) break;
    if ((l_kinds & kWildcard) != 0) l_suffix_labels = l_labels + 1;
    l_start = LabelBefore(in_l_name, l_start);
  }
  // The registrable domain: the public suffix and one label more.
  std::size_t l_registrable = in_l_name.size() + 1;
  for (std::size_t l_labels = 0; l_labels <= l_suffix_labels && l_registrable > 0; ++l_labels) {
    l_registrable = LabelBefore(in_l_name, l_registrable);
  }
  return l_registrable;
}

}  // namespace tavc
