user_pref("browser.cache.disk.capacity", 7000);
user_pref("browser.bookmark_location", "C:\\Program Files\\Netscape\\Users\\default\\bookmark.htm");
user_pref("browser.startup.homepage", "http://home.example/");
