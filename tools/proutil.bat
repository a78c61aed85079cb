@echo off
rem Runs the program _proutil.exe beside this file with all the arguments
rem given, and ends with its exit code.
"%~dp0_proutil.exe" %*
exit /b %ERRORLEVEL%
