#include "web_pages.h"

#include "runs_report.h"

namespace pelorin::provider {
namespace {

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title +
         "</title></head><body><h1>" + title + "</h1>" + body + "</body></html>";
}

std::string Link(const std::string& web_host, const std::string& path, const std::string& text) {
  return "<a href=\"http://" + HtmlEscape(web_host) + path + "\">" + text + "</a>";
}

}  // namespace

std::string HomePage(const std::string& web_host) {
  return Page("Pelorin bulk SMS",
              "<p>Send personalised text messages in bulk from your spreadsheet.</p><ul><li>" +
                  Link(web_host, "/excel_plugin.html", "Excel plug-in help") + "</li><li>" +
                  Link(web_host, "/UI/Registration.aspx", "Register") + "</li><li>" +
                  Link(web_host, "/runs", "Runs received") + "</li></ul>");
}

std::string HelpPage(const std::string& web_host) {
  return Page("Pelorin Excel plug-in help",
              "<ol><li>Log in with your login ID and password (Pelorin menu, Login).</li>"
              "<li>Choose Send Text Message, pick the mobile number column and write the "
              "message; |C| stands for the value of column C in the same row.</li>"
              "<li>Choose the rows and press Send SMS.</li></ol><p>" +
                  Link(web_host, "/", "Home") + "</p>");
}

std::string RegistrationPage(const std::string& web_host) {
  return Page("Register for Pelorin",
              "<form method=\"post\"><p>Login ID <input name=\"uid\"></p>"
              "<p>Password <input name=\"pwd\" type=\"password\"></p>"
              "<p><input type=\"submit\" value=\"Register\"></p></form><p>" +
                  Link(web_host, "/", "Home") + "</p>");
}

std::string StatusPage(int status) {
  std::string code = std::to_string(status);
  return Page("HTTP " + code, "<p>The server answered with status " + code + ".</p>");
}

}  // namespace pelorin::provider
