#include "app/credential_cache.h"

#include <gtest/gtest.h>

TEST(CredentialCache, EntriesStartUnauthenticatedAndSurviveRepeatedAdds) {
    CredentialCache cache;
    cache.AddUnauthenticated("a");
    ASSERT_NE(cache.Find("a"), nullptr);
    EXPECT_FALSE(cache.Find("a")->authenticated);
    EXPECT_EQ(cache.Find("b"), nullptr);

    cache.MarkAuthenticated("a", "admin", "secret");
    cache.AddUnauthenticated("a");  // a recorder listed twice keeps its entry
    EXPECT_TRUE(cache.Find("a")->authenticated);
    EXPECT_EQ(cache.Find("a")->password, "secret");

    cache.MarkAuthenticated("missing", "x", "y");
    EXPECT_EQ(cache.Size(), 1u);

    cache.Clear();
    EXPECT_TRUE(cache.Empty());
}
