add_library(registry_update_fakes STATIC ${CMAKE_CURRENT_LIST_DIR}/fake_platform.cpp)
target_include_directories(registry_update_fakes PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(registry_update_fakes PUBLIC registry_update_logic)
