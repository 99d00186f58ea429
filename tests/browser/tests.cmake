vorn_add_test(TestCaseFold SOURCES browser/TestCaseFold.cpp LIBS vorn_support)
vorn_add_test(TestSearchEngine SOURCES browser/TestSearchEngine.cpp LIBS vorn_browsercore vorn_store)
vorn_add_test(TestStateIcons SOURCES browser/TestStateIcons.cpp LIBS vorn_browser)
