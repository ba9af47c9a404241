#pragma once
// The four prototype lists of the method families, in table order; built on
// first use (safely across threads), never changed. Declared apart from the
// method base so that the base does not depend on its families.
#include <vector>

class QVFractalMethod;
class QVDivergenceMethod;
class QVOutputMethod;
class QVRenderingMethod;

const std::vector<const QVFractalMethod*>& FractalMethods();
const std::vector<const QVDivergenceMethod*>& DivergenceMethods();
const std::vector<const QVOutputMethod*>& OutputMethods();
const std::vector<const QVRenderingMethod*>& RenderingMethods();
