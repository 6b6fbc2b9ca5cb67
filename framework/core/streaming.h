// The stored-layout format: a text stream of components and their published
// properties, one block per component:
//
//   object Form1: TForm1
//     Caption = 'text'          strings: UTF-8 in quotes, '' for a quote, #nn for a code
//     Font.Height = -11         nested persistent properties are dotted
//     Anchors = [akLeft, akTop] sets; identifiers for enums, Booleans and event handlers
//     Picture.Data = { 0A54... } binary data in hex
//     object Image2: TImage ... end
//   end
//
// Values equal to their defaults, and values whose stored rule says no, are not written.
#pragma once
#include <string>
#include <string_view>

#include "framework/core/component.h"

namespace fw {

// Writes `root` and everything below it.
std::string WriteComponentText(const TComponent& root);

// Reads a stream into an existing root (whose class must match the stream's
// outer object), creating the children it names with `root` as their owner.
// Every component read is in the loading state until the whole stream is read;
// then each gets Loaded, in reading order.
void ReadComponentText(std::string_view text, TComponent& root);

}  // namespace fw
