#include "ui/QVCaption.h"

#include "ui/QVText.h"

std::string QVCaption::Rendering(const std::string& base) {
  return qv::FromQString(tr("%1 [描画中]").arg(qv::ToQString(base)));
}

std::string QVCaption::Progress(const std::string& base, const std::string& name, int done,
                                int height) {
  return base + " [" + name + " " + std::to_string(done) + "/" + std::to_string(height) + "]";
}

std::string QVCaption::Saving(const std::string& base, const std::string& file) {
  return qv::FromQString(tr("%1 [保存中… %2]").arg(qv::ToQString(base), qv::ToQString(file)));
}
