// Why probing a host stopped: the two failures the watch window reports in its status line.
#pragma once

enum class ProbeFailure {
    UnknownHost,  // the name does not exist: "Unknown - %s!"
    AccessDenied, // neither way of probing is allowed to this user: "Access denied - %s!"
};
