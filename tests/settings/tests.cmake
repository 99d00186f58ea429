vorn_add_test(TestModSetting SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestModSetting.cpp LIBS vorn_settings)
vorn_add_test(TestModGeneral SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestModGeneral.cpp LIBS vorn_settings)
vorn_add_test(TestFrmSetting SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestFrmSetting.cpp LIBS vorn_settingsgui)
