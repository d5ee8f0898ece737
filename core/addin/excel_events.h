// CExcelEvents: holds the host application for the connection's lifetime, as
// the anchor for application events; it handles none of them.
#pragma once

namespace pelorin {

class Application;

class CExcelEvents {
 public:
  CExcelEvents() = default;
  ~CExcelEvents() { pExcelApp_ = nullptr; }
  CExcelEvents(const CExcelEvents&) = delete;
  CExcelEvents& operator=(const CExcelEvents&) = delete;

  void set_pExcelApp(Application* application) { pExcelApp_ = application; }
  Application* pExcelApp() const { return pExcelApp_; }

 private:
  Application* pExcelApp_ = nullptr;
};

}  // namespace pelorin
