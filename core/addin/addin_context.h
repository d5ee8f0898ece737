// What every part of the add-in reaches while it is connected: the host's
// services and the shared state of the connection.
#pragma once

namespace pelorin {

class Application;
class Browser;
class CExcelControls;
class Clock;
class NetworkInterfaces;
class RunJournalStore;
class RunNameClaim;
class ServiceClient;
class SettingsStore;
class UserInterface;

struct AddinContext {
  UserInterface& ui;
  SettingsStore& settings;
  ServiceClient& service;
  Clock& clock;
  NetworkInterfaces& network;
  Browser& browser;

  // Shared state of the connection: the host application (objExcelApp) and
  // the command set (objExcelControls); both null while not connected to a
  // spreadsheet host.
  Application* application = nullptr;
  CExcelControls* controls = nullptr;

  // Where send runs journal their packets; null: runs keep no journal.
  RunJournalStore* run_journal = nullptr;

  // Gives each send run a name none of the user's earlier runs had; null:
  // a run is named after the clock's reading.
  RunNameClaim* run_names = nullptr;
};

}  // namespace pelorin
