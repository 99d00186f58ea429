vorn_add_test(TestDatabase SOURCES store/TestDatabase.cpp LIBS vorn_store)
vorn_add_test(TestAdminDataBase SOURCES store/TestAdminDataBase.cpp LIBS vorn_store)
vorn_add_test(TestLibrarySession SOURCES store/TestLibrarySession.cpp LIBS vorn_store)
