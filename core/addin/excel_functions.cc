#include "core/addin/excel_functions.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace pelorin {

double ExcelFunctions::DoubleIt(double& D) {
  double sum = D + D;
  if (std::isinf(sum)) {
    throw std::overflow_error("DoubleIt: " + std::to_string(D) + " doubled is beyond the double range");
  }
  return sum;
}

}  // namespace pelorin
