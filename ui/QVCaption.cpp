#include "ui/QVCaption.h"

std::string QVCaption::Rendering(const std::string& base) { return base + " [描画中]"; }

std::string QVCaption::Progress(const std::string& base, const std::string& name, int done,
                                int height) {
  return base + " [" + name + " " + std::to_string(done) + "/" + std::to_string(height) + "]";
}

std::string QVCaption::Saving(const std::string& base, const std::string& file) {
  return base + " [保存中… " + file + "]";
}
