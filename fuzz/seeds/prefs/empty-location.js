user_pref("browser.bookmark_location", "");
