#include "source/QVSourceWriter.h"

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"

namespace qv {

std::string WriteProject(const QVMain& main) { return WriteProject(main.Parameter, main.Graph()); }

std::string WriteProject(const QVSnapshot& snapshot) {
  return WriteProject(snapshot.Parameter(), snapshot.Graph());
}

std::string WriteProject(const QVParameter& parameter, const QVNodeGraph& graph) {
  std::string text = "Parameter: " + WriteObject(parameter, "");
  for (const QVGenerator* g : graph.Generators) text += "Generator: " + WriteObject(*g, "");
  for (const QVEffector* e : graph.Effectors) text += "Effector: " + WriteObject(*e, "");
  for (const QVMixer* m : graph.Mixers) text += "Mixer: " + WriteObject(*m, "");
  return text;
}

std::string WriteObject(const QVObject& object, const std::string& indent) {
  return WriteBlock(object, indent);
}

}  // namespace qv
