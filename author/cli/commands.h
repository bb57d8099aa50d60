// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "author/cli/command.h"

#include <memory>

// The subcommands, one file each.
namespace vorta::author {

std::shared_ptr<Command> checkCommand();
std::shared_ptr<Command> storyCommand();
std::shared_ptr<Command> coverageCommand();
std::shared_ptr<Command> buildCommand();
std::shared_ptr<Command> unpackCommand();
std::shared_ptr<Command> fixCommand();
std::shared_ptr<Command> newGenreCommand();
std::shared_ptr<Command> proofCommand();
std::shared_ptr<Command> packCommand();
std::shared_ptr<Command> webCommand();

} // namespace vorta::author
