#pragma once

#include "User.h"

#include <optional>

// The signed-in user kept between runs, as the user record's JSON in the settings. Sign-in,
// registration and the profile editor all write it here, so that there is one form and one key,
// and the next launch restores whatever was written last.
class SessionStore
{
public:
    static constexpr const char *key = "saved_vorlane_user";

    // The stored user; nothing when there is none or the entry is no user record (it then stays
    // stored until a write replaces it).
    static std::optional<User> restore();
    static void save(const User &user);
    static void clear();
};
