Option Explicit
' Collects what a computer is made of into one line of a shared CSV file.
Dim service, system, bios, processor, line, fso, file
Set service = GetObject("winmgmts:\\.\root\cimv2")
For Each system In service.ExecQuery("SELECT * FROM Win32_ComputerSystem")
	line = system.Name & ";" & system.Manufacturer & ";" & system.Model & ";" & _
	       Round(system.TotalPhysicalMemory / 1073741824) & " GB"
Next
For Each bios In service.ExecQuery("SELECT SerialNumber FROM Win32_BIOS")
	line = line & ";" & bios.SerialNumber
Next
For Each processor In service.ExecQuery("SELECT Name FROM Win32_Processor")
	line = line & ";" & Trim(processor.Name)
	Exit For
Next
Set fso = CreateObject("Scripting.FileSystemObject")
Set file = fso.OpenTextFile("\\server\inventory\computers.csv", _
                            8, _
                            True)
file.WriteLine line
file.Close
