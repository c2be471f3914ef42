Option Explicit
' Reads a CSV file of name;mail;phone lines into an array of records.
Function ReadRecords(path)
	Dim fso, stream, fields, records, count
	Set fso = CreateObject("Scripting.FileSystemObject")
	Set stream = fso.OpenTextFile(path, 1)
	ReDim records(-1)
	count = 0
	Do While Not stream.AtEndOfStream
		fields = Split(stream.ReadLine, ";")
		If UBound(fields) = 2 Then
			ReDim Preserve records(count)
			records(count) = Array(Trim(fields(0)), _
			                       LCase(Trim(fields(1))), _
			                       Trim(fields(2)))
			count = count + 1
		End If
	Loop
	stream.Close
	ReadRecords = records
End Function

Dim record
For Each record In ReadRecords("contacts.csv")
	WScript.Echo record(0) & " <" & record(1) & ">"
Next
