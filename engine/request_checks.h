#pragma once

#include <optional>

#include "directions.h"
#include "message.h"
#include "platform.h"
#include "request.h"

// What is looked at before a run starts, so that it never stops half-way
// over something that was wrong from the start. Each check gives the
// message that refuses the run, or nothing when the run may go on.
using Refusal = std::optional<Message>;

// Before anything of the run: folders that cannot reach proutil unchanged,
// or that mean something else than the user sees, and databases that are
// not there.
Refusal CheckFolders(const Request& request, Platform& platform);

// When a direction begins: its folders given, its databases not in use.
Refusal CheckDirection(const Request& request, const Direction& direction, Platform& platform);

// Makes the per-database folders of the dump files; those of an earlier run
// are used again. Without them every command would fail, so the run stops
// with one message instead; so it does when two of them are one folder.
Refusal MakeDumpFolders(const Request& request, Platform& platform);
