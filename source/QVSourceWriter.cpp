#include "source/QVSourceWriter.h"

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVObjectText.h"

namespace qv {

std::string WriteProject(const QVMain& main) { return WriteProject(main.Parameter, main.Graph()); }

std::string WriteProject(const QVSnapshot& snapshot) {
  return WriteProject(snapshot.Parameter(), snapshot.Graph());
}

std::string WriteProject(const QVParameter& parameter, const QVNodeGraph& graph) {
  std::string text = "Parameter: " + WriteBlock(parameter, "");
  for (const QVGenerator* g : graph.Generators) text += "Generator: " + WriteBlock(*g, "");
  for (const QVEffector* e : graph.Effectors) text += "Effector: " + WriteBlock(*e, "");
  for (const QVMixer* m : graph.Mixers) text += "Mixer: " + WriteBlock(*m, "");
  return text;
}

}  // namespace qv
