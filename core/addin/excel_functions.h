// ExcelFunctions: the public helper class that automation clients create to
// check the add-in is reachable.
#pragma once

namespace pelorin {

class ExcelFunctions {
 public:
  // D + D; throws std::overflow_error when the sum is beyond the double
  // range. `D` itself is left as it was.
  static double DoubleIt(double& D);
};

}  // namespace pelorin
