vorn_add_test(TestModSystem SOURCES support/TestModSystem.cpp LIBS vorn_support)
vorn_add_test(TestIniFile SOURCES support/TestIniFile.cpp LIBS vorn_support)
vorn_add_test(TestTextDecoding SOURCES support/TestTextDecoding.cpp LIBS vorn_support)
vorn_add_test(TestCaseFold SOURCES support/TestCaseFold.cpp LIBS vorn_support)
