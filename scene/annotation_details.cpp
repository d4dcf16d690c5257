// Declares the annotations as strings in the sites' own notation, written
// from the squares read, never copied from the comment.
#include "scene/annotation_details.h"

#include "annotations/annotations.h"
#include "scene/details.h"

namespace boardshot {
namespace {

void DeclareList(std::string& text, const char* name,
                 const std::string& entries) {
  if (entries.empty()) return;
  text += "\n#declare ";
  text += name;
  text += " = " + SceneString(entries) + ';';
}

}  // namespace

std::string FormatAnnotationDetails(std::string_view comments) {
  const Annotations annotations = ReadAnnotations(comments);
  std::string text;
  DeclareList(text, "Boardshot_Marked_Squares", MarkedSquaresText(annotations));
  DeclareList(text, "Boardshot_Arrows", ArrowsText(annotations));
  return text;
}

}  // namespace boardshot
