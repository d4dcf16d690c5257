// Names of the squares captured pieces stand on.
#include "scene/capture_squares.h"

namespace boardshot {

std::string CaptureSquareName(Side capturer, int index) {
  if (capturer == White) {
    return kBlackLossFile + std::to_string(kFirstBlackLossRank - index);
  }
  return kWhiteLossFile + std::to_string(kFirstWhiteLossRank + index);
}

}  // namespace boardshot
