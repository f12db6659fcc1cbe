#pragma once

// Numbers of the company server's failures, apart from the local store's: each names one
// cause the user can act on.
namespace ServerErrorNumber {
constexpr int BadAddress = 8001; // the URL cannot be read
constexpr int NoDriver = 8002; // Qt's PostgreSQL driver is not installed
constexpr int NoServer = 8003; // nothing answers at the address, or no network
constexpr int NotReady = 8004; // the server is starting or stopping
constexpr int PasswordNeeded = 8005; // the server asks for a password and none was given
constexpr int WrongPassword = 8006; // the password was refused (or the login does not exist)
constexpr int LoginRefused = 8007; // the server does not let that login in
constexpr int NoDatabase = 8008; // the database does not exist (or cannot be entered)
constexpr int TimedOut = 8009; // no answer within the connection time-out
constexpr int Tls = 8010; // the encrypted connection could not be made
constexpr int ConnectFailed = 8011; // any other failure to connect
constexpr int ConnectionLost = 8012; // the connection broke while in use
constexpr int NotAllowed = 8013; // the login lacks the privilege for the statement
constexpr int Refused = 8014; // the server refused a statement for another reason
constexpr int NotCompanyDatabase = 8015; // server-init has not been run on the database
constexpr int NewerSchema = 8016; // the company database comes from a newer program
constexpr int Exists = 8017; // the salesperson or the login is already there
constexpr int Conflict = 8018; // a concurrent transaction made the server undo this one: run it again
constexpr int OtherSalesperson = 8019; // the login belongs to no salesperson, or to another one
constexpr int OlderSchema = 8020; // the company database needs server-init run again by this version
constexpr int LoginDisabled = 8021; // the office has kept the salesperson's login out
} // namespace ServerErrorNumber
