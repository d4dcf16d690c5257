// The declarations of the arrows and marked squares that the comments after
// the position reached draw on it.
#pragma once

#include <string>
#include <string_view>

namespace boardshot {

/// The declarations for the [%csl] and [%cal] commands of `comments` (see
/// annotations/annotations.h), each a line break followed by `#declare Name
/// = value;`: Boardshot_Marked_Squares ("Gd4,Re5") when a square is marked,
/// Boardshot_Arrows ("Ge2e4,Rd8d1") when an arrow is drawn; nothing
/// otherwise.
std::string FormatAnnotationDetails(std::string_view comments);

}  // namespace boardshot
