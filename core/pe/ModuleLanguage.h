#pragma once
// Which language a module is in, decided from the module alone (never from
// the host's locale), and which copy of a resource a look-up takes.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

#include "pe/ResourceDirectory.h"

namespace quillon {

// How many of the resources a project is made of, and a build rewrites,
// each language holds: numbered string-table blocks, dialogs and standard
// (not extended) menus whose data is in the file.
std::map<std::uint16_t, std::size_t> CountTranslatableResources(const ResourceTree& tree);

// The module's language: the one the scan reports, every look-up starts
// from, and building a target replaces. `scan`, `new` and `update` all take
// it from here.
//  1. The language the version resource declares (first entry of
//     \VarFileInfo\Translation).
//  2. Without one, the language that holds the most string-table blocks,
//     dialogs and standard menus; a module whose resources are all in one
//     language therefore has that language.
//  3. Ties go to neutral (0x0000), then US English (0x0409), then the lowest
//     other English, then the lowest language.
// Wine's modules declare nothing and hold every resource in US English plus
// the translations someone made of it, each missing what was not
// translated: they read in English, as Windows shows them to an English
// user. A target built from such a module keeps its rebuilt resources in the
// target language only, so that language holds the most.
std::uint16_t ModuleLanguage(const ResourceTree& tree, std::optional<std::uint16_t> declared);

// The copy of one resource that a reader in `language` gets: that language,
// else neutral, else the same primary language (sub-language neutral first,
// then the lowest), else US English, else the lowest language present.
// Entries whose language field has bits above 16 are never taken.
const ResourceLeaf* ChooseLeaf(const ResourceNameNode& node, std::uint16_t language);

} // namespace quillon
